// Conversions between our texts and points and Qt's, in one place for the Qt host. Our texts are
// UTF-8; paths are not converted here (they keep the local 8-bit encoding, see QtHost.h).
#pragma once

#include "base/Geometry.h"

#include <QPoint>
#include <QString>
#include <string>
#include <string_view>

[[nodiscard]] inline QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

[[nodiscard]] inline std::string FromQString(const QString& text)
{
    return text.toStdString();
}

[[nodiscard]] inline Point ToPoint(const QPoint& p)
{
    return Point{p.x(), p.y()};
}
