// The Qt side of the Shift-JIS conversions, apart from the rest so that programs without
// windows can use the conversions without loading Qt.
#include "toolkit/text.h"

#include <QByteArray>
#include <algorithm>

namespace toolkit {

QString FromSjis(std::string_view sjis)
{
    std::string utf8 = Utf8FromSjis(sjis);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToSjis(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    return Sjis(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

bool HasSjisForm(const QString& text)
{
    // Each character without a form becomes one "?": more of them than the text had means one.
    std::string sjis = ToSjis(text);
    return std::count(sjis.begin(), sjis.end(), '?') == text.count(QLatin1Char('?'));
}

} // namespace toolkit
