#include "numberfield.h"

quint32 readUnsignedField(const QString& text, int bits)
{
    const QString t = text.simplified();
    bool ok = false;
    qulonglong value = 0;
    if (t.left(2).toUpper() == QLatin1String("0X"))
        value = t.mid(2).toULongLong(&ok, 16);
    else
        value = t.toULongLong(&ok, 10);
    if (!ok)
        return 0;
    const qulonglong mask = (qulonglong(1) << bits) - 1;
    return quint32(value & mask);
}

qint8 readSignedByte(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.simplified().toLongLong(&ok, 10);
    return ok ? qint8(quint8(value & 0xff)) : qint8(0);
}

QString hexText(quint32 value)
{
    return QStringLiteral("0x") + QString::number(value, 16);
}
