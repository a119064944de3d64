#pragma once
// Windows-1251, the 8-bit text of devices and foreign files. Our own table, so
// the result never depends on what codecs the system has.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

QString FromCp1251(const QByteArray& bytes);
// Bytes as a log or an edit shows a device's text: a character a byte, each
// byte that shows nothing of itself as a visible mark of one character, so
// that every byte is seen, none breaks a line and the columns stay: a control
// byte (0x00..0x1F, 0x7F) as its Unicode control picture ("␀", "␊", "␡"), and
// 0x98, which has no character, as the replacement character "�".
QString FromCp1251Visible(const QByteArray& bytes);
// Characters without a Windows-1251 byte become '?'.
QByteArray ToCp1251(const QString& text);
QChar Cp1251ByteToChar(unsigned char b);

// A device's display text carries a character when the table has a byte for
// it and the byte shows something: a NUL ends a text on the device, and a
// newline, a tab or another control character breaks its line.
bool Cp1251CarriesChar(char32_t c);
// The characters of text a display text cannot carry, each once, in the order
// they first appear; a surrogate pair is one character, a lone half is one too.
QList<char32_t> Cp1251UncarriedChars(QStringView text);
// text as a display's bytes: one a character (a surrogate pair is one), with
// '?' standing for each character the display text cannot carry.
QByteArray Cp1251DisplayBytes(QStringView text);
// A character as a message names it: in quotes ("é"), or by its code
// (U+0009) when it shows nothing of itself.
QString CharNameForMessage(char32_t c);
// Several characters so named, separated by commas.
QString CharNamesForMessage(const QList<char32_t>& chars);
