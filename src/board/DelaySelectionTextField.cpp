#include "DelaySelectionTextField.h"

#include <QKeyEvent>

DelaySelectionTextField::DelaySelectionTextField(QWidget* parent)
    : QLineEdit(parent)
{
    setFrame(false);
    setAccessibleName(tr("Column title"));
    setEditable(false);
}

void DelaySelectionTextField::setSelected(bool selected)
{
    m_isSelected = selected;
    if (!selected && m_editing)
        endEditing(true);
}

void DelaySelectionTextField::setEditable(bool editable)
{
    setReadOnly(!editable);
    setFocusPolicy(editable ? Qt::StrongFocus : Qt::NoFocus);
    setCursor(editable ? Qt::IBeamCursor : Qt::ArrowCursor);
    // While it is a label the column paints behind it; while editing it is a field.
    setAutoFillBackground(editable);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, editable ? QPalette().color(QPalette::Base) : Qt::transparent);
    setPalette(colours);
}

void DelaySelectionTextField::beginEditing()
{
    if (!m_editing) {
        m_editing = true;
        m_textBeforeEditing = text();
        setEditable(true);
    }
    setFocus(Qt::OtherFocusReason);
    selectAll();
}

void DelaySelectionTextField::endEditing(bool commit)
{
    if (!m_editing)
        return;
    m_editing = false;
    if (!commit)
        setText(m_textBeforeEditing);
    deselect();
    setCursorPosition(0);
    const bool hadFocus = hasFocus();
    setEditable(false);
    if (hadFocus && parentWidget())
        parentWidget()->setFocus(Qt::OtherFocusReason);
    if (commit)
        Q_EMIT editingEnded(text());
}

void DelaySelectionTextField::keyPressEvent(QKeyEvent* event)
{
    if (m_editing) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            endEditing(true);
            return;
        case Qt::Key_Escape:
            endEditing(false);
            return;
        default:
            break;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void DelaySelectionTextField::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A context menu of the field itself takes the focus only for a moment.
    if (m_editing && event->reason() != Qt::PopupFocusReason)
        endEditing(true);
}

void DelaySelectionTextField::mousePressEvent(QMouseEvent* event)
{
    if (!m_editing) {
        event->ignore(); // the column selects itself
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void DelaySelectionTextField::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_editing) {
        event->ignore(); // the column may start a drag
        return;
    }
    QLineEdit::mouseMoveEvent(event);
}

void DelaySelectionTextField::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_editing) {
        event->ignore();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void DelaySelectionTextField::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_editing) {
        QLineEdit::mouseDoubleClickEvent(event);
        return;
    }
    if (m_isSelected && event->button() == Qt::LeftButton) {
        beginEditing();
        event->accept();
        return;
    }
    event->ignore();
}

void DelaySelectionTextField::contextMenuEvent(QContextMenuEvent* event)
{
    if (!m_editing) {
        event->ignore(); // the column's own menu
        return;
    }
    QLineEdit::contextMenuEvent(event);
}
