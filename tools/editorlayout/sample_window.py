"""The sample edit window: the sample list on the left, one page per modify command on the
right (page 0 browses and sets the points), each page with its own waveform views.

Laid out with the pages and sections of editor_panels.py, which writes the result.
"""

from editor_panels import CELL_W, CELL_H, TITLE_H, GAP, Page, struct_values

VIEW = "vs.sampleEdit.view."
MODIFY = "vs.sampleEdit.modify."
COMMON = "com.utility.sample.sampleCommon."
PREVIEW = "com.utility.sampleEdit.preview."

LIST_POS, LIST_SIZE = (8, 60), (288, 592)
PAGE_POS, PAGE_SIZE = (304, 60), (768, 592)
WIDTH = PAGE_SIZE[0]

# The modify pages, by the value of vs.sampleEdit.view.modifyView.
PAGES = ["SAMPLE", "TRUNCATE", "EMPHASIS", "NORMALIZE", "AMP", "STRETCH", "CHOP"]
TAB_W = 96

# Buttons drawn for this window: (image, kind, width, height, labels).
BUTTONS = [
    ("buttonExecute", "label", 88, 26, ["EXECUTE"]),
    ("buttonCancel", "latch", 88, 26, ["CANCEL", "CANCEL"]),
    ("buttonUnload", "label", 72, 24, ["UNLOAD"]),
    ("buttonSampleGroup", "latch", 72, 24, ["USER", "CARD"]),
    ("buttonPreview", "label", 72, 24, ["PREVIEW"]),
    ("buttonScrub", "latch", 40, 22, ["\u25b6", "\u25a0"]),
    ("buttonChopPreview", "label", 72, 24, ["PLAY"]),
    ("buttonZoomOut", "label", 22, 16, ["\u2212"]),
    ("buttonZoomIn", "label", 22, 16, ["+"]),
    ("buttonScaleDown", "label", 22, 16, ["\u2193"]),
    ("buttonScaleUp", "label", 22, 16, ["\u2191"]),
    ("buttonChopMove", "latch", 56, 22, ["MOVE", "MOVE"]),
    ("buttonChopAdd", "latch", 56, 22, ["ADD", "ADD"]),
    ("buttonChopDelete", "latch", 56, 22, ["DELETE", "DELETE"]),
    ("buttonAutoChop", "label", 56, 22, ["APPLY"]),
    ("buttonBeatStepDown", "label", 16, 11, ["\u25c0"]),
    ("buttonScrollLeft", "label", 18, 16, ["\u25c0"]),
    ("buttonScrollRight", "label", 18, 16, ["\u25b6"]),
    ("buttonBeatStepUp", "label", 16, 11, ["\u25b6"]),
] + [("tabSample%s" % name.title(), "tab", TAB_W, 28, [name]) for name in PAGES]


def control(kind, name, x, y, body, size=None, label=None):
    """label: what a screen reader calls the control."""
    size_xml = "<size>%d,%d</size>" % size if size else ""
    label_xml = "<label>%s</label>" % label if label else ""
    return "<control><type>%s</type><name>%s</name>%s<position>%d,%d</position>%s%s</control>" % (
        kind, name, label_xml, x, y, size_xml, body)


def refs(**named):
    return "".join("<%s>%s</%s>" % (k, v, k) for k, v in named.items())


class SamplePage(Page):
    def __init__(self, name, bitmap, values):
        super().__init__(name, bitmap, "", values, PAGE_POS, PAGE_SIZE)

    def path(self, name):
        return name

    def custom(self, title, w, h):
        """Reserves a section; returns the corner of its content."""
        self.reserve(title, w, h)
        return self.sx + 4, self.sy + TITLE_H

    def field(self, x, y, w, h=22):
        self.fields.append((x, y, w, h))

    def label(self, text, x, y, w):
        self.labels.append((text, x, y, w))

    def button(self, name, x, y, bitmap, label, **body):
        self.controls.append(control(body.pop("kind", "unlatchButton"), name, x, y,
                                     "<bitmapRef>%s</bitmapRef>" % bitmap + refs(**body), label=label))

    # --- the waveform, with its scroll and zoom row --------------------------------------
    def wave(self, title, mode, height, extra=""):
        x, y = self.custom(title, WIDTH, TITLE_H + height + 26)
        w = WIDTH - 8
        self.field(x, y, w, height)
        self.controls.append(control(
            "quasarSampleViewControl", "wave", x, y,
            "<mode>%d</mode><useTipBar>1</useTipBar>" % mode + refs(
                startValueRef=COMMON + "startIndex", loopValueRef=COMMON + "loopIndex",
                endValueRef=COMMON + "endIndex", previewFrameValueRef=PREVIEW + "previewFrame",
                samplePreviewValueRef=PREVIEW + "samplePreview") + extra, (w, height), "Waveform"))
        self.zoom_row(x, y + height + 4, w)

    def zoom_row(self, x, y, w):
        """The scroll bar between its two step buttons, then zoom out and in (frames per
        column) and flatter and taller (the vertical scale)."""
        window = refs(scrollRangeLowerValueRef=VIEW + "scrollRangeLo", scrollRangeUpperValueRef=VIEW + "scrollRangeUp",
                      currentRangeLowerValueRef=VIEW + "viewRangeLo", currentRangeUpperValueRef=VIEW + "viewRangeUp",
                      operatedValueRef=VIEW + "scrollOperated")
        scroll_w = w - 4 * 24 - 2 * 20
        self.button("scrollLeft", x, y, "buttonScrollLeft", "Scroll Left", kind="quasarWaveScrollIncButton",
                    deltaValue=-1, requestWave=1, useTipBar=0)
        self.field(x + 20, y, scroll_w, 16)
        self.controls.append(control("quasarWaveScroll", "waveScroll", x + 20, y,
                                     "<direction>1</direction><knobColor>61440,40960,12288</knobColor>" + window,
                                     (scroll_w, 16), "Waveform Scroll"))
        self.controls[-2] = self.controls[-2].replace("</control>", window + "</control>")
        self.button("scrollRight", x + 20 + scroll_w + 2, y, "buttonScrollRight", "Scroll Right",
                    kind="quasarWaveScrollIncButton", deltaValue=1, requestWave=1, useTipBar=0)
        self.controls[-1] = self.controls[-1].replace("</control>", window + "</control>")
        zoom = [("zoomOut", "buttonZoomOut", "dotSamples", 0, 1, "Zoom Out"),
                ("zoomIn", "buttonZoomIn", "dotSamples", 0, -1, "Zoom In"),
                ("scaleDown", "buttonScaleDown", "dataScale", 1, -1, "Height Down"),
                ("scaleUp", "buttonScaleUp", "dataScale", 1, 1, "Height Up")]
        zx = x + w - 4 * 24 + 4
        for i, (name, bitmap, value, direction, step, label) in enumerate(zoom):
            self.button(name, zx + 24 * i, y, bitmap, label, kind="quasarScaleIncButton", valueRef=VIEW + value,
                        direction=direction, deltaValue=step, requestWave=1, useTipBar=1)

    def overview(self, height=44):
        x, y = self.custom("OVERVIEW", WIDTH, TITLE_H + height + 4)
        self.field(x, y, WIDTH - 8, height)
        self.controls.append(control("quasarOverviewControl", "overview", x, y, "<mode>7</mode>" + refs(
            startValueRef=COMMON + "startIndex", loopValueRef=COMMON + "loopIndex", endValueRef=COMMON + "endIndex"),
            (WIDTH - 8, height), "Overview"))

    def actions(self, function, command, extra_w=0):
        """EXECUTE runs the page's command; CANCEL closes the page."""
        x, y = self.custom("RUN", 2 * 96 + 8 + extra_w, TITLE_H + 34)
        self.button("execute", x + extra_w, y + 4, "buttonExecute", "Execute " + command, function=function, action=1)
        self.button("cancel", x + extra_w + 96, y + 4, "buttonCancel", "Cancel " + command, kind="latchButton",
                    valueRef=VIEW + "modifyView", onValue=0, offValue=0)
        return x, y


def points_section(page):
    """Start, loop and end: scrub, the frame, a step of one frame and a step to the next beat."""
    x, y = page.custom("POINTS", 496, TITLE_H + 3 * 28 + 6)
    for i, (name, label) in enumerate([("start", "START"), ("loop", "LOOP"), ("end", "END")]):
        ry = y + 28 * i
        page.label(label, x, ry + 5, 48)
        page.button("scrub" + label.title(), x + 52, ry, "buttonScrub", "Scrub " + label.title(),
                    kind="quasarScrubButton", valueRef=VIEW + "scrubFrameId", onValue=i + 1, offValue=0)
        page.field(x + 100, ry, 120)
        page.controls.append(control("quasarLoopFrameEdit", name + "Frame", x + 100, ry,
                                     "<textPosition>4,0</textPosition><textSize>112,22</textSize>"
                                     "<textWriterRef>fieldText</textWriterRef><frameId>%d</frameId>" % i
                                     + refs(valueRef=COMMON + name + "Index"), (120, 22), label.title() + " Frame"))
        for j, (bitmap, delta) in enumerate([("buttonStepUp", 1), ("buttonStepDown", -1)]):
            page.button(name + ("FrameUp", "FrameDown")[j], x + 224, ry + 11 * j, bitmap,
                        label.title() + (" Frame Up", " Frame Down")[j], kind="quasarFrameIncButton",
                        valueRef=COMMON + name + "Index", frameId=i, deltaValue=delta, beat=0)
        page.label("BEAT", x + 244, ry + 5, 40)
        for j, (bitmap, delta) in enumerate([("buttonBeatStepUp", 1), ("buttonBeatStepDown", -1)]):
            page.button(name + ("BeatUp", "BeatDown")[j], x + 284, ry + 11 * j, bitmap,
                        label.title() + (" Next Beat", " Previous Beat")[j], kind="quasarFrameIncButton",
                        valueRef=COMMON + name + "Index", frameId=i, deltaValue=delta, beat=1)
    page.button("preview", x + 320, y + 4, "buttonPreview", "Preview", kind="quasarPreviewButton",
                valueRef=PREVIEW + "samplePreview", onValue=3, offValue=0)
    page.label("HOLD TO HEAR", x + 320, y + 30, 72)
    # Pressing the field plays the loop until the button is let go.
    page.field(x + 320, y + 48, 72, 22)
    page.label("LOOP", x + 320, y + 53, 72)
    page.controls.append(control("quasarPreviewControl", "previewLoop", x + 320, y + 48, "<mode>2</mode>", (72, 22),
                                 "Preview Loop"))
    page.label("LENGTH", x + 400, y + 5, 84)
    page.field(x + 400, y + 20, 84, 22)
    page.controls.append(control("staticText", "length", x + 400, y + 20,
                                 "<textWriterRef>fieldText</textWriterRef>" + refs(valueRef=COMMON + "absoluteEndIndex"),
                                 (84, 22), "Length"))


def sample_page(values):
    p = SamplePage("sampleBrowsePage", "samplePageBrowse", values)
    p.overview()
    p.wave("WAVE", 0, 240)
    points_section(p)
    x, y = p.custom("SAMPLE", WIDTH - 504, TITLE_H + 3 * 28 + 6)
    p.label("NAME", x, y + 5, 44)
    p.field(x + 48, y, 156)
    p.controls.append(control("edit", "sampleName", x + 48, y, "<textPosition>4,0</textPosition><textSize>148,22</textSize>"
                              "<textWriterRef>fieldText</textWriterRef>" + refs(valueRef=COMMON + "sampleName"), (156, 22),
                              "Sample Name"))
    p.label("LOOP", x, y + 33, 44)
    p.field(x + 48, y + 28, 104)
    p.controls.append(control("combo", "loopMode", x + 48, y + 28,
                              "<textPosition>6,0</textPosition><textSize>80,22</textSize><bitmapRef>buttonPop</bitmapRef>"
                              "<buttonPosition>88,0</buttonPosition><textWriterRef>fieldText</textWriterRef>"
                              + refs(valueRef=COMMON + "loopMode", stringTableRef="loopMode"), (104, 22), "Loop Mode"))
    p.label("KEY", x + 156, y + 33, 48)
    p.field(x + 156, y + 28, 48)
    p.controls.append(control("edit", "originalKey", x + 156, y + 28, "<textPosition>2,0</textPosition><textSize>44,22</textSize>"
                              "<textWriterRef>fieldText</textWriterRef>" + refs(valueRef=COMMON + "originalKey"), (48, 22),
                              "Original Key"))
    p.label("LEVEL", x, y + 61, 44)
    p.field(x + 48, y + 56, 48)
    p.controls.append(control("edit", "sampleLevel", x + 48, y + 56, "<textPosition>2,0</textPosition><textSize>44,22</textSize>"
                              "<textWriterRef>fieldText</textWriterRef>" + refs(valueRef=COMMON + "sampleLevel"), (48, 22),
                              "Sample Level"))
    p.label("GAIN", x + 100, y + 61, 44)
    p.field(x + 144, y + 56, 60)
    p.controls.append(control("combo", "sampleGain", x + 144, y + 56,
                              "<textPosition>4,0</textPosition><textSize>40,22</textSize><bitmapRef>buttonPop</bitmapRef>"
                              "<buttonPosition>44,0</buttonPosition><textWriterRef>fieldText</textWriterRef>"
                              + refs(valueRef=COMMON + "sampleGain", stringTableRef="sampleGain"), (60, 22), "Sample Gain"))
    p.section("TUNE", 2, [("knob", COMMON + "sampleFineTune", "FINE"), ("knob", COMMON + "sampleTempo", "TEMPO")])
    # The two zoom values as sliders: frames per column and the waveform's height.
    x, y = p.custom("VIEW", 320, TITLE_H + 60 + 4)
    for i, (name, label, value) in enumerate([("zoom", "ZOOM", "dotSamples"), ("height", "HEIGHT", "dataScale")]):
        p.label(label, x, y + 8 + 30 * i, 56)
        p.field(x + 60, y + 4 + 30 * i, 248, 20)
        p.controls.append(control("quasarScaleScroll", name, x + 60, y + 4 + 30 * i,
                                  "<bitmapRef>sliderKnobHorizontal</bitmapRef><direction>1</direction><requestWave>1</requestWave>"
                                  + refs(valueRef=VIEW + value), (248, 20), label.title()))
    return p


def overwrite_cell(command):
    return ("switch", MODIFY + command + ".overwrite", "REPLACE")


def truncate_page(values):
    p = SamplePage("sampleTruncatePage", "samplePageTruncate", values)
    p.wave("KEEP FROM START TO END", 0, 300)
    points_section(p)
    p.section("TRUNCATE", 2, [overwrite_cell("truncate")])
    p.actions("SampleTruncate", "Truncate")
    return p


def emphasis_page(values):
    p = SamplePage("sampleEmphasisPage", "samplePageEmphasis", values)
    p.wave("WAVE", 7, 300)
    p.section("EMPHASIS", 4, [overwrite_cell("emphasis"), ("combo", MODIFY + "emphasis.type", "TYPE", "emphasisType")])
    p.actions("SampleEmphasis", "Emphasis")
    return p


def normalize_page(values):
    p = SamplePage("sampleNormalizePage", "samplePageNormalize", values)
    p.wave("WAVE", 7, 300)
    p.section("NORMALIZE", 2, [overwrite_cell("normalize")])
    p.actions("SampleNormalize", "Normalize")
    return p


def amp_page(values):
    p = SamplePage("sampleAmpPage", "samplePageAmp", values)
    amp = MODIFY + "amp."
    env = "".join("<A%dValueRef>%senvAddress%d</A%dValueRef><R%dValueRef>%senvRate%d</R%dValueRef>"
                  % (i, amp, i, i, i, amp, i, i) for i in range(1, 5))
    p.wave("AMP ENVELOPE", 4, 260, "<envModeValueRef>%spoint</envModeValueRef>" % amp + env)
    p.section("AMP", 3, [overwrite_cell("amp"), ("switch", amp + "point", "ENVELOPE"),
                         ("knob", amp + "envRate1", "GAIN %")])
    x, y = p.custom("BREAK POINTS", 4 * 112 + 8, TITLE_H + 2 * 26 + 6)
    for i in range(4):
        cx = x + 112 * i
        p.label("POINT %d" % (i + 1), cx, y, 104)
        p.field(cx, y + 14, 104)
        p.controls.append(control("quasarBreakPointAddressEdit", "address%d" % (i + 1), cx, y + 14,
                                  "<textPosition>4,0</textPosition><textSize>96,22</textSize><textWriterRef>fieldText</textWriterRef>"
                                  "<breakPointId>%d</breakPointId>" % i + refs(valueRef=amp + "envAddress%d" % (i + 1)), (104, 22),
                                  "Point %d Frame" % (i + 1)))
        p.field(cx, y + 40, 48, 16)
        p.controls.append(control("quasarBreakPointRateEdit", "rate%d" % (i + 1), cx, y + 40,
                                  "<textPosition>2,0</textPosition><textSize>44,16</textSize><textWriterRef>stripValueText</textWriterRef>"
                                  "<breakPointId>%d</breakPointId>" % i + refs(valueRef=amp + "envRate%d" % (i + 1)), (48, 16),
                                  "Point %d Gain Percent" % (i + 1)))
        p.label("%", cx + 52, y + 42, 16)
    p.actions("SampleAmp", "Amp")
    return p


def stretch_page(values):
    p = SamplePage("sampleStretchPage", "samplePageStretch", values)
    ts = MODIFY + "timeStretch."
    p.wave("WAVE", 7, 240)
    x, y = p.custom("LENGTH AND TEMPO", 376, TITLE_H + 66)
    p.label("TIME", x, y + 5, 48)
    p.field(x + 52, y, 120)
    p.controls.append(control("editTime", "time", x + 52, y, "<textPosition>4,0</textPosition><textSize>112,22</textSize>"
                              "<textWriterRef>fieldText</textWriterRef>"
                              + refs(valueRef=ts + "rate", endValueRef=COMMON + "absoluteEndIndex"), (120, 22),
                              "Stretched Time"))
    for j, (bitmap, delta) in enumerate([("buttonStepUp", 1000), ("buttonStepDown", -1000)]):
        p.button(("timeUp", "timeDown")[j], x + 176, y + 11 * j, bitmap, ("Time Up", "Time Down")[j],
                 kind="quasarTimeIncButton", valueRef=ts + "rate", endValueRef=COMMON + "absoluteEndIndex",
                 deltaValue=delta)
    p.label("BPM", x + 196, y + 5, 40)
    p.field(x + 240, y, 72)
    p.controls.append(control("editBPM", "bpm", x + 240, y, "<textPosition>4,0</textPosition><textSize>64,22</textSize>"
                              "<textWriterRef>fieldText</textWriterRef><scale>100</scale><decimals>2</decimals>"
                              + refs(valueRef=ts + "rate", bpmValueRef=COMMON + "sampleTempo"), (72, 22), "Stretched BPM"))
    p.field(x, y + 32, 364, 28)
    p.controls.append(control("quasarBpmSlider", "bpmSlider", x, y + 32,
                              "<bitmapRef>sliderKnobHorizontal</bitmapRef><direction>1</direction>"
                              + refs(valueRef=ts + "rate", bpmValueRef=COMMON + "sampleTempo"), (364, 28), "Stretched BPM"))
    p.section("STRETCH", 4, [("knob", ts + "type", "QUALITY"), ("knob", ts + "adjust", "ADJUST")])
    p.actions("SampleTimeStretch", "Time Stretch")
    return p


def chop_page(values):
    p = SamplePage("sampleChopPage", "samplePageChop", values)
    chop = MODIFY + "chop."
    p.wave("CHOP POINTS", 6, 300, refs(chopPointIdValueRef=chop + "edit.currentChopId",
                                        chopFrameValueRef=chop + "chopPoint[0].frame",
                                        chopPreviewValueRef=PREVIEW + "samplePreview"))
    x, y = p.custom("EDIT", 376, TITLE_H + 62)
    for i, (name, bitmap) in enumerate([("chopMove", "buttonChopMove"), ("chopAdd", "buttonChopAdd"),
                                        ("chopDelete", "buttonChopDelete")]):
        p.button(name, x + 60 * i, y, bitmap, "Chop " + name[4:], kind="latchButton", valueRef=chop + "edit.mode",
                 onValue=i, offValue=i)
    p.label("POINT", x + 184, y + 5, 44)
    p.field(x + 228, y, 60)
    p.controls.append(control("quasarChopIdCombo", "chopId", x + 228, y,
                              "<textPosition>4,0</textPosition><textSize>36,22</textSize><bitmapRef>buttonPop</bitmapRef>"
                              "<buttonPosition>44,0</buttonPosition><textWriterRef>fieldText</textWriterRef><offsetValue>1</offsetValue>"
                              + refs(valueRef=chop + "edit.currentChopId"), (60, 22), "Chop Point"))
    p.label("FRAME", x, y + 33, 48)
    p.field(x + 52, y + 28, 120)
    p.controls.append(control("quasarEditChopFrame", "chopFrame", x + 52, y + 28,
                              "<textPosition>4,0</textPosition><textSize>112,22</textSize><textWriterRef>fieldText</textWriterRef>"
                              + refs(valueRef=chop + "edit.currentChopId"), (120, 22), "Chop Frame"))
    for j, (bitmap, delta) in enumerate([("buttonStepUp", 1), ("buttonStepDown", -1)]):
        p.button(("chopFrameUp", "chopFrameDown")[j], x + 176, y + 28 + 11 * j, bitmap,
                 ("Chop Frame Up", "Chop Frame Down")[j], kind="quasarChopFrameIncButton",
                 valueRef=chop + "edit.currentChopId", deltaValue=delta)
    p.button("chopPreview", x + 200, y + 28, "buttonChopPreview", "Play Chop", kind="quasarChopPreviewButton",
             valueRef=PREVIEW + "samplePreview", chopPointIdValueRef=chop + "edit.currentChopId",
             startFrameValueRef=PREVIEW + "previewFrame", onValue=1, offValue=0)
    p.label("POINTS", x + 280, y + 33, 50)
    p.controls.append(control("staticText", "chopCount", x + 330, y + 28, "<textWriterRef>fieldText</textWriterRef>"
                              + refs(valueRef=chop + "edit.chopPointCount"), (32, 22), "Chop Points"))
    p.field(x + 330, y + 28, 32)
    x, y = p.custom("AUTO CHOP", 384, TITLE_H + 62)
    auto = [("LEVEL", chop + "autoChop.level", "SampleChopAutoLevel", None),
            ("BEAT", chop + "autoChop.beat", "SampleChopAutoBeat", "autoChopBeat"),
            ("DIVIDE", chop + "autoChop.divide", "SampleChopAutoDivide", None)]
    for i, (label, path, function, table) in enumerate(auto):
        cx = x + 124 * i
        p.label(label, cx, y, 116)
        p.field(cx, y + 14, 56)
        if table:
            p.controls.append(control("combo", "auto%s" % label.title(), cx, y + 14,
                                      "<textPosition>4,0</textPosition><textSize>36,22</textSize><bitmapRef>buttonPop</bitmapRef>"
                                      "<buttonPosition>40,0</buttonPosition><textWriterRef>fieldText</textWriterRef>"
                                      + refs(valueRef=path, stringTableRef=table), (56, 22), "Auto Chop " + label.title()))
        else:
            p.controls.append(control("edit", "auto%s" % label.title(), cx, y + 14,
                                      "<textPosition>2,0</textPosition><textSize>52,22</textSize><textWriterRef>fieldText</textWriterRef>"
                                      + refs(valueRef=path), (56, 22), "Auto Chop " + label.title()))
        p.button("auto%sApply" % label.title(), cx + 60, y + 14, "buttonAutoChop", "Apply Auto Chop " + label.title(),
                 function=function, action=1)
    p.actions("SampleChop", "Chop")
    return p


def list_page(values):
    """The left column: the samples of the group shown, the memory figures and Unload."""
    p = Page("sampleListPage", "samplePageList", "", values, LIST_POS, LIST_SIZE)
    p.path = lambda name: name
    p.reserve("SAMPLES", LIST_SIZE[0], LIST_SIZE[1])
    x, y = 4, TITLE_H
    rows = VIEW + "list"
    p.fields.append((x, y, 280, 496))
    p.controls.append(control(
        "quasarSampleListControl", "sampleList", x, y,
        "<textWriterRef>listText</textWriterRef><currentWriterRef>listCurrentText</currentWriterRef>"
        "<selectWriterRef>listSelectText</selectWriterRef><inactiveSelectWriterRef>listInactiveSelectText</inactiveSelectWriterRef>"
        "<inactiveCurrentWriterRef>listInactiveCurrentText</inactiveCurrentWriterRef><headerWriterRef>listHeaderText</headerWriterRef>"
        "<headerTexts>NUMBER,NAME,CH</headerTexts><columnWidths>64,184</columnWidths><rowHeight>16</rowHeight>"
        + refs(firstRowValueRef=rows + "FirstRow", lastRowValueRef=rows + "LastRow", currentRowValueRef=rows + "CurrentRow",
               firstVisibleRowValueRef=rows + "FirstVisibleRow", lastVisibleRowValueRef=rows + "LastVisibleRow",
               activateValueRef=rows + "Activate", waveGroupIDValueRef=VIEW + "sampleGroupID",
               entityModifyValueRef="vs.multisampleEdit.sampleEntityInformationModifyMark"), (280, 496), "Samples"))
    y += 504
    p.labels.append(("FREE", x, y + 5, 40))
    p.fields.append((x + 44, y, 96, 22))
    p.controls.append(control("staticText", "remainMemory", x + 44, y, "<textWriterRef>fieldText</textWriterRef><unit> KB</unit>"
                              + refs(valueRef=VIEW + "remainMemory"), (96, 22), "Free Memory"))
    p.labels.append(("OF", x + 140, y + 5, 24))
    p.fields.append((x + 164, y, 112, 22))
    p.controls.append(control("staticText", "wholeMemory", x + 164, y, "<textWriterRef>fieldText</textWriterRef><unit> KB</unit>"
                              + refs(valueRef=VIEW + "wholeMemory"), (112, 22), "Whole Memory"))
    y += 30
    p.controls.append(control("quasarSampleViewGroupButton", "group", x, y,
                              "<bitmapRef>buttonSampleGroup</bitmapRef>"
                              + refs(valueRef=VIEW + "sampleGroupID", onValue=3, offValue=2), label="Sample Group"))
    p.controls.append(control("unlatchButton", "unload", x + 208, y,
                              "<bitmapRef>buttonUnload</bitmapRef><function>SampleUnload</function><action>1</action>",
                              label="Unload Samples"))
    return p


# The struct types whose values the pages' knobs and switches use, by their paths.
VALUE_TYPES = [("comSampleCommon", COMMON), ("vsModifyTruncate", MODIFY + "truncate."),
               ("vsModifyEmphasis", MODIFY + "emphasis."), ("vsModifyNormalize", MODIFY + "normalize."),
               ("vsModifyAmp", MODIFY + "amp."), ("vsModifyTimeStretch", MODIFY + "timeStretch."),
               ("vsChopEdit", MODIFY + "chop.edit."), ("vsChopAuto", MODIFY + "chop.autoChop.")]


def build(text):
    values = {prefix + name: value for type_name, prefix in VALUE_TYPES
              for name, value in struct_values(text, type_name).items()}
    pages = [sample_page(values), truncate_page(values), emphasis_page(values), normalize_page(values),
             amp_page(values), stretch_page(values), chop_page(values)]
    return list_page(values), pages


def window_controls():
    x = 1080 - 8 - len(PAGES) * TAB_W - (len(PAGES) - 1) * 4
    controls = []
    for page, name in enumerate(PAGES):
        controls.append(control("latchButton", "tab%s" % name.title(), x, 12,
                                "<bitmapRef>tabSample%s</bitmapRef>" % name.title()
                                + refs(valueRef=VIEW + "modifyView", onValue=page, offValue=page), label=name.title()))
        x += TAB_W + 4
    return controls


class SampleWindow:
    """The root panel: opened and closed by vs.sampleEdit.view.view."""

    name, bitmap, title = "sampleEditor", "sampleEditorWindow", "SAMPLE EDIT"
    labels, fields = [], []

    def __init__(self, list_page, pages):
        self.list_page, self.pages = list_page, pages

    def panel_type(self):
        lines = ["<panelType>", "  <type>%s</type>" % self.name, "  <name>$name</name>", "  <position>0,0</position>",
                 "  <size>1080,660</size>", "  <windowPosition>80,80</windowPosition>",
                 "  <bitmapRef>%s</bitmapRef>" % self.bitmap, "  <title>Sample Edit</title>",
                 "  <openCondition>%sview,1,==</openCondition>" % VIEW,
                 "  <closeValueRef>%sview</closeValueRef>" % VIEW, "  <closeValue>0</closeValue>"]
        lines += ["  " + c for c in window_controls()]
        lines.append("  <panel><type>%s</type><name>list</name></panel>" % self.list_page.name)
        for page in self.pages:
            lines.append("  <panel><type>%s</type><name>%s</name></panel>" % (page.name, page.name[6:-4].lower()))
        lines.append("</panelType>")
        return "\n".join(lines)

    def art(self):
        return '{QStringLiteral("%s"), "%s", {}, {}},' % (self.bitmap, self.title)


def window_and_pages(text):
    """[(page, open condition)], the window."""
    list_page, pages = build(text)
    conditions = [(list_page, None)] + [(page, "%smodifyView,%d,==" % (VIEW, i)) for i, page in enumerate(pages)]
    return conditions, SampleWindow(list_page, pages)


STATES = {"label": 2, "latch": 4, "tab": 4}


def bitmaps(pages):
    """The bitmap resources of the window, its pages and its buttons."""
    lines = ["<bitmap><name>%s</name><stateCount>1</stateCount><direction>0</direction><mask>0</mask></bitmap>"
             % name for name in [SampleWindow.bitmap] + [page.bitmap for page, _ in pages]]
    lines += ["<bitmap><name>%s</name><stateCount>%d</stateCount><direction>0</direction><mask>1</mask></bitmap>"
              % (name, STATES[kind]) for name, kind, _, _, _ in BUTTONS]
    return lines


def button_art():
    def text(label):
        return "QStringLiteral(\"%s\")" % "".join(c if ord(c) < 128 else "\\u%04x" % ord(c) for c in label)
    out = ["const EditorButtonArt kEditorButtons[] = {"]
    out += ['{QStringLiteral("%s"), EditorButtonKind::%s, {%d, %d}, {%s}},'
            % (name, kind.title(), w, h, ", ".join(text(l) for l in labels)) for name, kind, w, h, labels in BUTTONS]
    out.append("};")
    return out
