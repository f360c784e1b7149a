#pragma once
// A script with one envelope ("main.env"), fade range ("main.fr"), bias ("main.b") and
// LFO ("main.l") control over the values of "p.v", for the graph control tests.

#include <string>

#include "support/TestSupport.h"

namespace test::graph {

inline const char* const kValues = R"(
<structType><type>Params</type><name>v</name><address>00 00</address>
  <value><name>l1</name><address>00</address><range>0,127</range><default>0</default></value>
  <value><name>l2</name><address>01</address><range>0,127</range><default>0</default></value>
  <value><name>l3</name><address>02</address><range>0,127</range><default>0</default></value>
  <value><name>t1</name><address>03</address><range>0,127</range><default>0</default></value>
  <value><name>t2</name><address>04</address><range>0,127</range><default>0</default></value>
  <value><name>t3</name><address>05</address><range>0,127</range><default>0</default></value>
  <value><name>t4</name><address>06</address><range>0,127</range><default>0</default></value>
  <value><name>lower</name><address>07</address><range>0,127</range><default>40</default></value>
  <value><name>upper</name><address>08</address><range>0,127</range><default>80</default></value>
  <value><name>fadeLower</name><address>09</address><range>0,127</range><default>10</default></value>
  <value><name>fadeUpper</name><address>0A</address><range>0,127</range><default>20</default></value>
  <value><name>level</name><address>0B</address><range>0,100</range><default>100</default></value>
  <value><name>position</name><address>0C</address><range>0,100</range><default>50</default></value>
  <value><name>direction</name><address>0D</address><range>0,4</range><default>2</default></value>
  <value><name>single</name><address>0E</address><range>3,3</range><default>3</default></value>
  <value><name>wave</name><address>0F</address><range>0,12</range><default>0</default></value>
  <value><name>rate</name><address>10</address><range>0,149</range><default>0</default></value>
  <value><name>offset</name><address>11</address><range>0,4</range><default>2</default></value>
  <value><name>delay</name><address>12</address><range>0,127</range><default>0</default></value>
  <value><name>mode</name><address>13</address><range>0,7</range><default>4</default></value>
  <value><name>fade</name><address>14</address><range>0,127</range><default>0</default></value>
</structType>
<structType><type>Root</type><name>p</name><address>00 00 00</address>
  <struct><type>Params</type></struct>
</structType>
<struct><type>Root</type></struct>
)";

inline const char* const kEnvelope = R"(<control><type>envelope</type><name>env</name><position>10,10</position>
  <size>102,52</size><L1ValueRef>p.v.l1</L1ValueRef><L2ValueRef>p.v.l2</L2ValueRef>
  <L3ValueRef>p.v.l3</L3ValueRef><T1ValueRef>p.v.t1</T1ValueRef><T2ValueRef>p.v.t2</T2ValueRef>
  <T3ValueRef>p.v.t3</T3ValueRef><T4ValueRef>p.v.t4</T4ValueRef></control>)";
inline const char* const kFadeRange = R"(<control><type>fadeRange</type><name>fr</name><position>10,70</position>
  <size>128,10</size><displayRange>0,128</displayRange><rangeLowerValueRef>p.v.lower</rangeLowerValueRef>
  <rangeUpperValueRef>p.v.upper</rangeUpperValueRef><fadeWidthLowerValueRef>p.v.fadeLower</fadeWidthLowerValueRef>
  <fadeWidthUpperValueRef>p.v.fadeUpper</fadeWidthUpperValueRef></control>)";
inline const char* const kBias = R"(<control><type>bias</type><name>b</name><position>150,10</position>
  <size>102,52</size><levelValueRef>p.v.level</levelValueRef><positionValueRef>p.v.position</positionValueRef>
  <directionValueRef>p.v.direction</directionValueRef></control>)";
inline const char* const kLfo = R"(<control><type>lfo</type><name>l</name><position>150,70</position>
  <size>182,42</size><waveFormValueRef>p.v.wave</waveFormValueRef><rateValueRef>p.v.rate</rateValueRef>
  <offsetValueRef>p.v.offset</offsetValueRef><delayTimeValueRef>p.v.delay</delayTimeValueRef>
  <fadeModeValueRef>p.v.mode</fadeModeValueRef><fadeTimeValueRef>p.v.fade</fadeTimeValueRef></control>)";

inline std::string Script(const std::string& controls) {
    return test::MainPanelScript(kValues, "400,200", controls);
}

} // namespace test::graph
