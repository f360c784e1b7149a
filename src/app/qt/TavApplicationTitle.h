#pragma once
// The application title as the windows show it.

#include <QString>

#include "app/CTavSystem.h"

inline QString TavApplicationTitle() {
    return QString::fromUtf8(CTavSystem::kApplicationTitle.data(),
                             static_cast<qsizetype>(CTavSystem::kApplicationTitle.size()));
}
