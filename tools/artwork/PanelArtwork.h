#pragma once
// Panel backgrounds: the main window (header, part mixer frame with its row labels, master
// section, status line), one strip per part, and the effects and setup pages. Positions
// here are the ones the editor script places panels and controls at.

#include <QImage>

namespace artwork {

// 1080 x 660.
QImage MainBackground();
// 52 x 528, with the part number (1 to 16) in its header.
QImage PartStrip();
// 1064 x 564, drawn over the main window's page area at (8, 60).
QImage EffectsPage();
QImage SetupPage();

} // namespace artwork
