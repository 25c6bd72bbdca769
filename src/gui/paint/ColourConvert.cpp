// Conversions between the program's colours and bytes and Qt's.
#include "gui/paint/ColourConvert.h"

#include <QStringDecoder>

QString textFromBytes(std::string_view bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError())
        return s;
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
