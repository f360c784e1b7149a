#pragma once
// The about box: the program's description, version and legal notice.

#include <QDialog>

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDialog(QWidget* parent = nullptr);

    // "Version 0.1.0 (0100)": the file version and the four product version numbers
    // ("0,1,0,0") written together.
    static QString VersionText(const QString& fileVersion, const QString& productVersion);
};
