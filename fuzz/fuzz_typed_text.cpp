// Types arbitrary text into an integer edit (with an offset), a string edit, an edit over a
// string table, an edit over a number table and an edit double. Whatever is typed, each
// value must afterwards hold something inside its range: an integer within its range or
// number table, a string of its length in 7-bit bytes; text naming no entry of the string
// table leaves that edit's value as it was. The readers knobs and sliders use must answer
// inside their bounds, or nothing.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"
#include "script/CTavTable.h"
#include "view/CTavPanel.h"
#include "view/CTavPopEditControl.h"
#include "view/CTavViewManager.h"
#include "view/TavValueText.h"

namespace {

const char* const kScript = R"(<script>
<textWriter><name>tw</name></textWriter>
<stringTable><name>modes</name><table>Mono, Poly, Legato</table></stringTable>
<numberTable><name>steps</name><table>-100, -10, 0, 5, 50, 2000</table></numberTable>
<structType><type>ctl</type><name>ctl</name><address>00 00 00 00</address>
  <value><name>level</name><range>0,127</range><default>64</default></value>
  <value><type>string</type><name>name</name><size>0C</size><default>INIT</default></value>
  <value><name>mode</name><range>0,9</range><default>0</default></value>
  <value><type>int4x4</type><name>step</name><numberTableRef>steps</numberTableRef><default>0</default></value>
  <value><type>int2x7</type><name>rate</name><range>0,16383</range><default>125</default></value>
</structType>
<structType><type>rootType</type><name>qv</name><address>01 00 00 00</address>
  <struct><type>ctl</type></struct>
</structType>
<struct><type>rootType</type></struct>
<panelType><type>mainType</type><name>main</name><size>300,200</size>
  <control><type>edit</type><name>level</name><textWriterRef>tw</textWriterRef><textPosition>0,0</textPosition>
    <textSize>50,20</textSize><offsetValue>-2147483648</offsetValue><valueRef>qv.ctl.level</valueRef></control>
  <control><type>edit</type><name>name</name><textWriterRef>tw</textWriterRef><textPosition>0,0</textPosition>
    <textSize>50,20</textSize><valueRef>qv.ctl.name</valueRef></control>
  <control><type>edit</type><name>mode</name><textWriterRef>tw</textWriterRef><textPosition>0,0</textPosition>
    <textSize>50,20</textSize><stringTableRef>modes</stringTableRef><valueRef>qv.ctl.mode</valueRef></control>
  <control><type>edit</type><name>step</name><textWriterRef>tw</textWriterRef><textPosition>0,0</textPosition>
    <textSize>50,20</textSize><offsetValue>7</offsetValue><valueRef>qv.ctl.step</valueRef></control>
  <control><type>editDouble</type><name>rate</name><textWriterRef>tw</textWriterRef><textPosition>0,0</textPosition>
    <textSize>50,20</textSize><precision>3</precision><divisionValue>7</divisionValue><offsetValue>3</offsetValue>
    <valueRef>qv.ctl.rate</valueRef></control>
</panelType>
<panel><type>mainType</type></panel>
</script>)";

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
    std::abort();
}

struct Edits {
    CTavSystem system;
    CTavPopEditControl* controls[5] = {};

    Edits() {
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutBuffer);
        system.AttachErrorOutputToManagers();
        if (!system.ReadScript(kScript) || !system.CreateManagers())
            Fail("The edits' script does not build", system.ErrorText());
        CTavRootPanel* panel = system.ViewManager().FindRootPanel("main");
        const char* const names[] = {"main.level", "main.name", "main.mode", "main.step", "main.rate"};
        for (int i = 0; i < 5; ++i) {
            CTavView* view = nullptr;
            if (!panel || !panel->FindControl(names[i], view) ||
                !(controls[i] = dynamic_cast<CTavPopEditControl*>(view)))
                Fail("No edit control", names[i]);
        }
    }
};

void CheckInteger(const CTavValue& value) {
    const CTavValueSpec& spec = value.Spec();
    const int32_t raw = value.GetRaw();
    const bool inside = spec.numberTable ? spec.numberTable->PositionOf(raw) < spec.numberTable->Count()
                                         : raw >= spec.minimum && raw <= spec.maximum;
    if (!inside)
        Fail("Typed text left a value outside its range", spec.name + " = " + std::to_string(raw));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Edits edits;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (const auto raw = TavTypedIntegerIfRead(text, std::numeric_limits<int32_t>::min(), -64, 63);
        raw && (*raw < -64 || *raw > 63))
        Fail("A knob's typed integer left its range", std::to_string(*raw));
    if (const auto* modes = edits.system.ResourceManager().FindStringTable("modes")) {
        const auto index = TavTypedTableEntry(text, *modes);
        if (index && (*index < 0 || *index >= modes->Count()))
            Fail("A knob's typed entry is not in its table", std::to_string(*index));
        // Text that names no entry keeps the edit's value.
        CTavPopEditControl* mode = edits.controls[2];
        const int32_t before = mode->GetValue(0)->GetRaw();
        if (!index) {
            mode->SetText(text);
            if (mode->GetValue(0)->GetRaw() != before)
                Fail("Text naming no entry changed the value", text);
        }
    }
    for (CTavPopEditControl* control : edits.controls) {
        control->SetText(text);
        // What the control shows types back to a value inside the range too.
        control->SetText(control->GetText());
        const CTavValue* value = control->GetValue(0);
        if (value->Kind() != kTavKindString) {
            CheckInteger(*value);
            continue;
        }
        const std::string written = value->GetText();
        if (written.size() != static_cast<size_t>(value->Size()))
            Fail("Typed text changed a string value's length", written);
        for (const char c : written)
            if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) >= 0x80)
                Fail("Typed text left a byte the framing refuses", written);
    }
    return 0;
}
