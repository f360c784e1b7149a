#pragma once
// Generators of hostile editor scripts: small texts that ask the reader and the builders
// for far more than they should give. The tests use small sizes; bench_script runs the
// large ones.

#include <string>

namespace hostile {

inline std::string Repeat(const std::string& text, size_t count) {
    std::string result;
    result.reserve(text.size() * count);
    for (size_t i = 0; i < count; ++i)
        result += text;
    return result;
}

// A root struct "qv" holding one struct of the type with the instance items.
inline std::string RootHolding(const std::string& type, const std::string& items) {
    return "<structType><type>Root</type><name>qv</name><struct><type>" + type + "</type>" + items +
           "</struct></structType>\n<struct><type>Root</type></struct>\n";
}

// Struct types nested `levels` deep, each passing `fanOut` copies of its item "a" down to
// the next: the text of "a" grows fanOut^levels times.
inline std::string MacroBomb(int levels, int fanOut) {
    std::string script;
    for (int i = 0; i < levels; ++i)
        script += "<structType><type>T" + std::to_string(i) + "</type><struct><type>T" + std::to_string(i + 1) +
                  "</type><a>" + Repeat("$a", static_cast<size_t>(fanOut)) + "</a></struct></structType>\n";
    script += "<structType><type>T" + std::to_string(levels) +
              "</type><value><name>$a</name></value></structType>\n"
              "<structType><type>Root</type><name>qv</name><struct><type>T0</type><a>0123456789</a></struct>"
              "</structType>\n<struct><type>Root</type></struct>\n";
    return script;
}

// One value whose name is `count` references to an empty item.
inline std::string MacroReferences(size_t count) {
    return "<structType><type>Leaf</type><name>leaf</name><value><name>v" + Repeat("$e", count) +
           "</name></value></structType>\n" + RootHolding("Leaf", "<e></e>");
}

// One reference that resolves, then `references` that match none of `items` items: each
// one is compared with every item.
inline std::string MacroWork(size_t items, size_t references) {
    std::string instance;
    for (size_t i = 0; i < items; ++i)
        instance += "<t" + std::to_string(i) + ">x</t" + std::to_string(i) + ">";
    return "<structType><type>Leaf</type><name>leaf</name><value><name>v$t0" + Repeat("$zz", references) +
           "</name></value></structType>\n" + RootHolding("Leaf", instance);
}

// A string table of one element made of `count` escaped ampersands.
inline std::string Entities(size_t count) {
    return "<stringTable><name>amps</name><table>" + Repeat("&amp;", count) + "</table></stringTable>\n";
}

// One struct whose array has `count` elements.
inline std::string ArrayItems(size_t count) {
    return "<structType><type>Leaf</type><name>leaf</name><address>$adr</address>"
           "<value><name>v</name></value></structType>\n" +
           RootHolding("Leaf", Repeat("<adr>00</adr>", count));
}

// A value definition with `count` range items, each taken out by the value's conversion.
inline std::string ManyItems(size_t count) {
    return "<structType><type>Leaf</type><name>leaf</name><value><name>v</name>" +
           Repeat("<range>0,1</range>", count) + "</value></structType>\n" + RootHolding("Leaf", "");
}

// Struct types `levels` deep, each holding `fanOut` structs of the next: fanOut^levels
// leaves from a few hundred bytes.
inline std::string StructFanOut(int levels, int fanOut) {
    std::string script;
    for (int i = 0; i < levels; ++i)
        script += "<structType><type>T" + std::to_string(i) + "</type><name>n</name>" +
                  Repeat("<struct><type>T" + std::to_string(i + 1) + "</type></struct>", static_cast<size_t>(fanOut)) +
                  "</structType>\n";
    script += "<structType><type>T" + std::to_string(levels) +
              "</type><name>leaf</name><value><name>v</name></value></structType>\n"
              "<struct><type>T0</type></struct>\n";
    return script;
}

// Panel types `levels` deep, each holding `fanOut` panels of the next.
inline std::string PanelFanOut(int levels, int fanOut) {
    std::string script;
    for (int i = 0; i < levels; ++i)
        script += "<panelType><type>P" + std::to_string(i) + "</type>" +
                  Repeat("<panel><type>P" + std::to_string(i + 1) + "</type></panel>", static_cast<size_t>(fanOut)) +
                  "</panelType>\n";
    script += "<panelType><type>P" + std::to_string(levels) + "</type></panelType>\n"
              "<panel><type>P0</type><name>main</name></panel>\n";
    return script;
}

// A chain of `length` struct types, each holding the next, without a cycle.
inline std::string StructChain(int length) {
    std::string script;
    for (int i = 0; i < length; ++i)
        script += "<structType><type>T" + std::to_string(i) + "</type><struct><type>T" + std::to_string(i + 1) +
                  "</type></struct></structType>\n";
    script += "<structType><type>T" + std::to_string(length) +
              "</type><name>leaf</name><value><name>v</name></value></structType>\n" +
              RootHolding("T0", "");
    return script;
}

// `count` MIDI structs, each making its sixteen channels.
inline std::string MidiStructs(size_t count) {
    std::string script;
    for (size_t i = 0; i < count; ++i)
        script += "<midiStruct><name>m" + std::to_string(i) + "</name></midiStruct>\n";
    return script;
}

// A root "qv" whose array has `elements` leaves, and `panels` root panels that each look up
// the value of the last one.
inline std::string WideLookups(size_t elements, size_t panels) {
    return "<structType><type>Leaf</type><name>leaf</name><address>$adr</address>"
           "<value><name>v</name></value></structType>\n"
           "<structType><type>Root</type><name>qv</name><struct><type>Leaf</type>" +
           Repeat("<adr>00</adr>", elements) +
           "</struct></structType>\n<struct><type>Root</type></struct>\n"
           "<panelType><type>P</type><closeValueRef>qv.leaf[" +
           std::to_string(elements - 1) + "].v</closeValueRef></panelType>\n" +
           Repeat("<panel><type>P</type></panel>", panels);
}

// A root panel whose open condition holds `count` references to one value.
inline std::string LongCondition(size_t count) {
    return "<structType><type>Leaf</type><name>leaf</name><value><name>v</name></value></structType>\n" +
           RootHolding("Leaf", "") + "<panelType><type>P</type><openCondition>" + Repeat("qv.leaf.v,", count) + "</openCondition></panelType>\n<panel><type>P</type><name>main</name></panel>\n";
}

} // namespace hostile
