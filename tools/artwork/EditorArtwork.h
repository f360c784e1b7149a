#pragma once
// The patch and rhythm set editor windows: their backgrounds (header band, page frame),
// their pages (sections, labels, value fields and knob wells, laid out by
// tools/editorlayout/editor_panels.py together with the script's controls), the page tabs
// and the tone and layer select buttons.

#include <QImage>
#include <QString>
#include <QStringList>

namespace artwork {

// The names of every editor image, for the list of images to draw.
QStringList EditorArtworkNames();
// Draws one of them; a null image for a name it does not know.
QImage EditorArtwork(const QString& name);

} // namespace artwork
