#include "font_faces.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

namespace tl::widgets {

namespace {

struct StandIns {
    const char* face;
    QStringList families;
};

// Proportional and fixed Gothic (sans) and Mincho (serif) faces, then the
// generic families fontconfig always resolves, with its Japanese choice.
const QStringList kGothic = {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
                             QStringLiteral("IPAPGothic"),       QStringLiteral("IPAexGothic"),
                             QStringLiteral("VL PGothic"),       QStringLiteral("TakaoPGothic"),
                             QStringLiteral("sans-serif")};
const QStringList kFixedGothic = {QStringLiteral("Noto Sans Mono CJK JP"),
                                  QStringLiteral("IPAGothic"), QStringLiteral("VL Gothic"),
                                  QStringLiteral("TakaoGothic"), QStringLiteral("monospace")};
const QStringList kMincho = {QStringLiteral("Noto Serif CJK JP"), QStringLiteral("IPAPMincho"),
                             QStringLiteral("IPAexMincho"), QStringLiteral("TakaoPMincho"),
                             QStringLiteral("serif")};
const QStringList kFixedMincho = {QStringLiteral("Noto Serif CJK JP"), QStringLiteral("IPAMincho"),
                                  QStringLiteral("TakaoMincho"), QStringLiteral("serif")};
const QStringList kLatinSans = {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("Noto Sans"), QStringLiteral("sans-serif")};

const std::initializer_list<StandIns>& table() {
    static const std::initializer_list<StandIns> faces = {
        {"MS PGothic", kGothic},        {"MS UI Gothic", kGothic},     {"Meiryo", kGothic},
        {"Meiryo UI", kGothic},         {"Yu Gothic", kGothic},        {"Yu Gothic UI", kGothic},
        {"MS Gothic", kFixedGothic},    {"MS PMincho", kMincho},       {"Yu Mincho", kMincho},
        {"MS Mincho", kFixedMincho},    {"MS Sans Serif", kLatinSans}, {"MS Shell Dlg", kLatinSans},
        {"MS Shell Dlg 2", kLatinSans}, {"Tahoma", kLatinSans},        {"Segoe UI", kLatinSans},
    };
    return faces;
}

}  // namespace

QStringList FaceStandIns(const QString& face) {
    for (const StandIns& s : table())
        if (face.compare(QLatin1String(s.face), Qt::CaseInsensitive) == 0) return s.families;
    return {};
}

void InstallFaceStandIns() {
    for (const StandIns& s : table())
        if (!QFontDatabase::hasFamily(QLatin1String(s.face)))
            QFont::insertSubstitutions(QLatin1String(s.face), s.families);
}

QString ShownFace(const QString& face) {
    if (face.isEmpty() || QFontDatabase::hasFamily(face)) return face;
    const QStringList standIns = FaceStandIns(face);
    for (const QString& family : standIns)
        if (QFontDatabase::hasFamily(family)) return family;
    // Only a generic family is left: what fontconfig makes of it.
    if (!standIns.isEmpty()) {
        QFont font(standIns.last());
        font.setStyleHint(standIns.last() == QStringLiteral("monospace") ? QFont::Monospace
                                                                         : QFont::AnyStyle);
        return QFontInfo(font).family();
    }
    return face;
}

}  // namespace tl::widgets
