#include "reports/ui/printer_tb_screen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tawela::reports {

namespace {

// Clicking a read-only printer name picks its line.
class ClickFilter : public QObject {
public:
    ClickFilter(QObject* parent, std::function<void()> onClick)
        : QObject(parent), m_onClick(std::move(onClick))
    {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress)
            m_onClick();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onClick;
};

} // namespace

PrinterTbScreen::PrinterTbScreen(std::unique_ptr<PrinterTbForm> form, QWidget* parent)
    : QWidget(parent), m_form(std::move(form))
{
    setObjectName(QStringLiteral("Printer_tb"));
    setWindowTitle(QStringLiteral("Printer Select"));
    auto* outer = new QVBoxLayout(this);
    m_grid = new QGridLayout;
    outer->addLayout(m_grid);
    m_grid->addWidget(new QLabel(QStringLiteral("PRINTER NAME")), 0, 1);
    m_grid->addWidget(new QLabel(QStringLiteral("Preview")), 0, 3);
    m_grid->addWidget(new QLabel(QStringLiteral("Offset Left")), 0, 4);

    for (int i = 0; i < m_form->lines.size(); ++i) {
        LineWidgets w;
        auto* label = new QLabel(m_form->reportNames.value(i));
        w.name = new QLineEdit;
        w.name->setObjectName(QStringLiteral("Text1_%1").arg(i));
        w.name->setReadOnly(true);
        w.name->installEventFilter(new ClickFilter(w.name, [this, i] { moveChooser(i); }));
        label->setBuddy(w.name);
        w.index = new QLineEdit;
        w.index->setObjectName(QStringLiteral("Text2_%1").arg(i));
        w.index->setMaximumWidth(40);
        w.index->setAccessibleName(m_form->reportNames.value(i) + QStringLiteral(" ลำดับเครื่องพิมพ์"));
        w.preview = new QCheckBox;
        w.preview->setObjectName(QStringLiteral("Check1_%1").arg(i));
        w.preview->setAccessibleName(m_form->reportNames.value(i) + QStringLiteral(" Preview"));
        w.offset = new QLineEdit;
        w.offset->setObjectName(QStringLiteral("Text3_%1").arg(i));
        w.offset->setMaximumWidth(60);
        w.offset->setAccessibleName(m_form->reportNames.value(i) + QStringLiteral(" Offset Left"));
        m_grid->addWidget(label, i + 1, 0);
        m_grid->addWidget(w.name, i + 1, 1);
        m_grid->addWidget(w.index, i + 1, 2);
        m_grid->addWidget(w.preview, i + 1, 3, Qt::AlignCenter);
        m_grid->addWidget(w.offset, i + 1, 4);
        m_lines << w;
        showLine(i);
    }

    m_chooser = new QComboBox;
    m_chooser->setObjectName(QStringLiteral("Combo1"));
    m_chooser->addItems(m_form->printers);
    m_chooser->setMinimumWidth(180);
    m_select = new QPushButton(QStringLiteral("เลือก"));
    m_select->setObjectName(QStringLiteral("Command1"));
    connect(m_select, &QPushButton::clicked, this, [this] {
        readLines();
        m_form->chooserIndex = m_chooser->currentIndex();
        m_form->select();
        if (m_form->chooserLine >= 0)
            showLine(m_form->chooserLine);
    });
    moveChooser(0);

    auto* buttons = new QHBoxLayout;
    auto* toggle = new QPushButton(QStringLiteral("ซ่อน/แสดง"));
    toggle->setObjectName(QStringLiteral("Command2"));
    auto* save = new QPushButton(QStringLiteral("จัดเก็บ"));
    save->setObjectName(QStringLiteral("Command3"));
    buttons->addStretch();
    buttons->addWidget(toggle);
    buttons->addWidget(save);
    outer->addLayout(buttons);
    connect(toggle, &QPushButton::clicked, this, [this] {
        m_form->toggleChooser();
        m_chooser->setVisible(m_form->chooserVisible);
        m_select->setVisible(m_form->chooserVisible);
    });
    connect(save, &QPushButton::clicked, this, [this] {
        readLines();
        if (m_form->save())
            close();
    });
}

void PrinterTbScreen::moveChooser(int line)
{
    m_form->pickLine(line);
    // The chooser stands level with the line it fills.
    m_grid->addWidget(m_chooser, line + 1, 5);
    m_grid->addWidget(m_select, line + 1, 6);
}

void PrinterTbScreen::showLine(int line)
{
    const PrinterLine& l = m_form->lines[line];
    m_lines[line].name->setText(l.printerName);
    m_lines[line].index->setText(l.printerIndex);
    m_lines[line].offset->setText(l.offsetLeft);
    m_lines[line].preview->setChecked(l.preview);
}

void PrinterTbScreen::readLines()
{
    for (int i = 0; i < m_lines.size(); ++i) {
        PrinterLine& l = m_form->lines[i];
        l.printerName = m_lines[i].name->text();
        l.printerIndex = m_lines[i].index->text();
        l.offsetLeft = m_lines[i].offset->text();
        l.preview = m_lines[i].preview->isChecked();
    }
}

} // namespace tawela::reports
