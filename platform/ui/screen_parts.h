#pragma once

#include "platform/db/table_model.h"
#include "platform/prompt.h"
#include "platform/ui/qt_prompt.h"
#include "platform/ui/thai_date_edit.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollArea>
#include <QTableView>

#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>

#include <functional>

namespace tawela::platform::ui {

// How a panel of a screen runs a command: the screen hands it to its form and
// then shows what the form holds.
using Runner = std::function<void(const std::function<void()>&)>;

// Gives a widget the Thai caption a screen reader announces for it.
template <typename W> W* captioned(W* widget, const QString& caption)
{
    widget->setAccessibleName(caption);
    // A date field takes the cursor in its text, which must carry the caption too.
    if constexpr (std::is_same_v<W, platform::ThaiDateEdit>)
        widget->lineEdit()->setAccessibleName(caption);
    return widget;
}

// A text field in a form row under its caption, named after its control.
inline QLineEdit* lineRow(QFormLayout* form, const char* name, const QString& caption)
{
    auto* e = captioned(new QLineEdit, caption);
    e->setObjectName(QLatin1String(name));
    form->addRow(caption, e);
    return e;
}

// A row of a form: one caption for several fields and buttons side by side.
// The caption is the first field's buddy; the fields share the width, the
// buttons keep theirs. Returns the caption.
inline QLabel* captionedRow(QFormLayout* form, QLabel* caption,
                            std::initializer_list<QWidget*> fields)
{
    auto* box = new QHBoxLayout;
    for (QWidget* f : fields)
        box->addWidget(f, qobject_cast<QPushButton*>(f) ? 0 : 1);
    caption->setBuddy(*fields.begin());
    form->addRow(caption, box);
    return caption;
}
inline QLabel* captionedRow(QFormLayout* form, const QString& caption,
                            std::initializer_list<QWidget*> fields)
{
    return captionedRow(form, new QLabel(caption), fields);
}

// A list under its caption, named after its control: typed text (when
// editable) is never added to the list itself.
inline QComboBox* listBox(const char* name, const QString& caption, bool editable = true)
{
    auto* c = captioned(new QComboBox, caption);
    c->setObjectName(QLatin1String(name));
    c->setEditable(editable);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMaxVisibleItems(20);
    if (editable)
        c->lineEdit()->setAccessibleName(caption);
    return c;
}

// A button that Enter in a field never presses by accident.
// Enter moves on: the field after `from` in the screen's Enter order gets
// the cursor, its text selected. False when `from` has no field after it.
inline bool focusNext(const QHash<QObject*, QWidget*>& order, QObject* from)
{
    QWidget* next = order.value(from);
    if (!next)
        return false;
    next->setFocus();
    if (auto* e = qobject_cast<QLineEdit*>(next))
        e->selectAll();
    return true;
}

// A screen's Enter order as an object of its own: Enter in a field of the
// list moves the cursor to the next one (the last passes Enter on).
class EnterOrder : public QObject {
public:
    EnterOrder(QObject* parent, const QList<QWidget*>& order) : QObject(parent)
    {
        for (qsizetype i = 0; i + 1 < order.size(); ++i) {
            m_next.insert(order[i], order[i + 1]);
            order[i]->installEventFilter(this);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        return (key == Qt::Key_Return || key == Qt::Key_Enter) && focusNext(m_next, watched);
    }

private:
    QHash<QObject*, QWidget*> m_next;
};

// The program's file dialogs speak Thai (Qt ships no Thai translation).
inline void thaiLabels(QFileDialog& dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("ค้นหาใน"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("ชนิดแฟ้ม"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("เลือก"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("ยกเลิก"));
}

// The file a new file is to be written to, from a Thai dialog; empty when
// the person cancelled. A file already there is written over only after a
// Thai question (Qt's own is in English), otherwise the dialog comes back.
inline QString saveFileName(QWidget* parent, const QString& title, const QString& start,
                            const QString& filter)
{
    QString chosen = start;
    for (;;) {
        QFileDialog dialog(parent, title, chosen, filter);
        thaiLabels(dialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setLabelText(QFileDialog::Accept, QStringLiteral("บันทึก"));
        dialog.setLabelText(QFileDialog::FileName, QStringLiteral("ชื่อแฟ้ม"));
        if (const qsizetype dot = filter.indexOf(QStringLiteral("(*.")); dot >= 0)
            dialog.setDefaultSuffix(filter.mid(dot + 3).section(u')', 0, 0).section(u' ', 0, 0));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        chosen = dialog.selectedFiles().constFirst();
        if (!QFileInfo::exists(chosen))
            return chosen;
        QtPrompt ask(parent);
        if (ask.askYesNo(QStringLiteral("มีแฟ้ม %1 อยู่แล้ว ต้องการเขียนทับหรือไม่")
                             .arg(QDir::toNativeSeparators(chosen))))
            return chosen;
    }
}

inline QPushButton* button(const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

// A screen's fields in a scroll area that only scrolls when the screen is
// smaller than they need (1280 x 800), so the commands below it stay in
// sight. Returns the area, to be placed above the command row.
inline QScrollArea* scrolling(QLayout* fields)
{
    auto* inner = new QWidget;
    inner->setLayout(fields);
    auto* area = new QScrollArea;
    area->setWidget(inner);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    return area;
}

// Buttons at the right end of a row, in the order given.
inline QHBoxLayout* rightAligned(std::initializer_list<QWidget*> widgets)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QWidget* w : widgets)
        row->addWidget(w);
    return row;
}

// A text of several lines that takes no more than limit characters: what is
// typed or pasted beyond them is cut off, the cursor kept where it was.
inline void limitLength(QPlainTextEdit* edit, int limit)
{
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, limit] {
        const QString text = edit->toPlainText();
        if (text.size() <= limit)
            return;
        const int cursor = std::min(edit->textCursor().position(), limit);
        edit->setPlainText(text.left(limit));
        QTextCursor c = edit->textCursor();
        c.setPosition(cursor);
        edit->setTextCursor(c);
    });
}

// Gives a list its entries when they changed. An editable list keeps the
// text typed in it; a fixed one the entry chosen (or the last one left).
inline void showItems(QComboBox* box, const QStringList& items)
{
    QStringList shown;
    for (int i = 0; i < box->count(); ++i)
        shown << box->itemText(i);
    if (shown == items)
        return;
    const QSignalBlocker quiet(box);
    const QString text = box->currentText();
    const int index = box->currentIndex();
    box->clear();
    box->addItems(items);
    if (box->isEditable())
        box->setEditText(text);
    else
        box->setCurrentIndex(std::min(index, int(items.size()) - 1));
}

// Writes a grid cell still being typed in (before its screen closes).
inline void commitCellEdit(QTableView* grid)
{
    QWidget* editor = QApplication::focusWidget();
    if (editor && grid->isAncestorOf(editor) && editor != grid)
        QMetaObject::invokeMethod(grid, "commitData", Q_ARG(QWidget*, editor));
}

// Delete on an editable table grid: the selected stored row, once confirmed.
inline void deleteSelectedRow(QTableView* grid, db::TableModel* model, Prompt& prompt)
{
    if (!model || model->isReadOnly())
        return;
    const QModelIndexList rows = grid->selectionModel()->selectedRows();
    if (!rows.isEmpty() && rows.first().row() < model->storedRows() &&
        prompt.askYesNo(QStringLiteral("ต้องการลบแถวที่เลือกหรือไม่")))
        model->removeRows(rows.first().row(), 1);
}

} // namespace tawela::platform::ui
