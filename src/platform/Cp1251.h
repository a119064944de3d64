#pragma once
// Windows-1251, the 8-bit text of devices and foreign files. Our own table, so
// the result never depends on what codecs the system has.

#include <QByteArray>
#include <QString>

QString FromCp1251(const QByteArray& bytes);
// Characters without a Windows-1251 byte become '?'.
QByteArray ToCp1251(const QString& text);
QChar Cp1251ByteToChar(unsigned char b);
