#pragma once
// The console sections' part of the section fuzz target: data is the bytes
// after the count byte, text the section text they make.

#include <QByteArrayView>
#include <QString>

void FuzzConsoleSections(QByteArrayView data, const QString& text, int announced);
