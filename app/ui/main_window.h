#pragma once

#include <QMainWindow>

namespace tawela::app {

class Connections;

// The program's first window: the shop's name and what its databases hold.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(const Connections& connections, QWidget* parent = nullptr);
};

} // namespace tawela::app
