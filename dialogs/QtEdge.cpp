#include "dialogs/QtEdge.h"

#include <QFontDatabase>

#include "app/core/Global.h"
#include "text/Cp1250.h"

QString ToQString(std::string_view cp1250Text) {
    const std::string utf8 = cp1250::ToUtf8(cp1250Text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQString(const QString& text) { return cp1250::FromUtf8(text.toUtf8().toStdString()); }

QFont CourierNew(int pointSize, int pixelSize) {
    QFont font = QFontDatabase::hasFamily(QStringLiteral("Courier New"))
                     ? QFont(QStringLiteral("Courier New"))
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
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
