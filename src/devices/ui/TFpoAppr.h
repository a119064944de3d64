#pragma once
// The console hardware settings dialog `FpoAppr`. It exists from start-up as a named global
// instance; its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFpoAppr : public QDialog {
    Q_OBJECT
  public:
    explicit TFpoAppr(QWidget* parent = nullptr);
};

extern TFpoAppr* FpoAppr;
