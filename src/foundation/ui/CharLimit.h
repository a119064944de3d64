#pragma once
// An edit field that holds at most so many characters, counted as the
// database counts them. QLineEdit's own maxLength counts UTF-16 units and cuts
// a pasted or typed character beyond the Basic Multilingual Plane in half,
// which is then stored as bytes that are not UTF-8.

class QLineEdit;

// The field keeps at most limit characters, as maxLength would: what is typed
// or pasted past the limit is left out, and a text set from code is cut.
void LimitChars(QLineEdit* edit, int limit);
