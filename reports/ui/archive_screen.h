#pragma once

#include "reports/archive.h"

#include <QWidget>

#include <memory>

class QListWidget;
class QProgressBar;

namespace tawela::reports {

// The two archive screens: the numbers a move may take, those chosen with
// "Select" and "Return", and the move.
class ArchiveScreen : public QWidget {
    Q_OBJECT
public:
    explicit ArchiveScreen(std::unique_ptr<ArchiveMoveForm> form, QWidget* parent = nullptr);
    ArchiveMoveForm& form() { return *m_form; }

private:
    void showLists();
    void move();

    std::unique_ptr<ArchiveMoveForm> m_form;
    QListWidget *m_source, *m_chosen;
    QProgressBar* m_progress;
};

} // namespace tawela::reports
