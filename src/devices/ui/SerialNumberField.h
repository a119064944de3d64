#pragma once
// A serial-number field: typed in upper case, each character filtered by the
// serial-number rule of its kind of device (pasted text too), at most ten
// characters.

#include "devices/SerialNumber.h"

class QLineEdit;

void MakeSerialNumberField(QLineEdit* field, SerialNumber::Kind kind);
