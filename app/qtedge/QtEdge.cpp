#include "app/qtedge/QtEdge.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>
#include <stdexcept>

#include "app/core/Global.h"
#include "text/Cp1250.h"

// Every Windows-1250 byte is one UTF-16 unit, so a text is widened straight
// into the string, without passing through UTF-8.
QString ToQString(std::string_view cp1250Text) {
    QString text(static_cast<qsizetype>(cp1250Text.size()), Qt::Uninitialized);
    cp1250::Widen(cp1250Text, reinterpret_cast<char16_t*>(text.data()));
    return text;
}

std::string FromQString(const QString& text) { return cp1250::FromUtf8(text.toUtf8().toStdString()); }

namespace {

// "Courier New" where the system has it; otherwise the system's fixed-pitch font,
// or, when that one does not declare itself fixed pitch (the columns of the
// listings would not line up), the first family that does.
QString FixedPitchFamily() {
    const QString courier = QStringLiteral("Courier New");
    if (QFontDatabase::hasFamily(courier)) return courier;
    const QString system = QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family();
    if (QFontDatabase::isFixedPitch(system)) return system;
    for (const QString& family : QFontDatabase::families()) {
        if (QFontDatabase::isFixedPitch(family) && !QFontDatabase::isPrivateFamily(family)) return family;
    }
    return system;
}

}  // namespace

QFont CourierNew(int pointSize, int pixelSize) {
    static const QString family = FixedPitchFamily();
    QFont font(family);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    if (pointSize > 0) {
        font.setPointSize(pointSize);
    } else {
        font.setPixelSize(pixelSize);
    }
    return font;
}

void ReportFailure(const std::exception& failure) { UserInterface().ReportError(failure); }

void ReportUnknownFailure() { ReportFailure(std::runtime_error("Unknown failure")); }
