#pragma once
// A line of the console's slides. It holds at most width characters, counted
// as the database counts them, and only characters the console's file
// carries: one typed or pasted that the file cannot carry (no Windows-1251
// byte of its own, a NUL, a tab, a newline or another control character) is
// refused, and a message names it. A text set from code is shown as it is
// (cut to the width), so that showing a stored text never changes it.

class QLineEdit;

void MakeSlideTextField(QLineEdit* field, int width);
