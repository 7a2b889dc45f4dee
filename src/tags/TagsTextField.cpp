#include "TagsTextField.h"

#include "TagTokenPainter.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStringListModel>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace {
constexpr int spacing = 4;         // between tokens, and between rows
constexpr int minEditorWidth = 60; // narrower than this, the editor starts a new row
} // namespace

TagsTextField::TagsTextField(QWidget* parent)
    : QWidget(parent)
    , m_editor(new QLineEdit(this))
    , m_completionModel(new QStringListModel(this))
    , m_completer(new QCompleter(m_completionModel, this))
{
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(m_editor);
    setCursor(Qt::IBeamCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    setAttribute(Qt::WA_Hover);

    m_editor->setFrame(false);
    m_editor->setAccessibleName(tr("Tags"));
    QPalette editorPalette = m_editor->palette();
    editorPalette.setColor(QPalette::Base, Qt::transparent);
    m_editor->setPalette(editorPalette);
    m_editor->installEventFilter(this);

    // Offered in the owner's order; matched by prefix regardless of letter case.
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->setModelSorting(QCompleter::UnsortedModel);
    m_completer->setFilterMode(Qt::MatchStartsWith);
    m_completer->setCompletionMode(QCompleter::PopupCompletion);
    m_editor->setCompleter(m_completer);

    connect(m_editor, &QLineEdit::textEdited, this, &TagsTextField::textEdited);
    // Longer text may move the editor to a row of its own, whoever changed it.
    connect(m_editor, &QLineEdit::textChanged, this, &TagsTextField::relayout);
    connect(m_editor, &QLineEdit::returnPressed, this, &TagsTextField::returnPressed);
    // Queued: the line edit takes the chosen completion as its text first (it connects itself
    // on focus-in, after us), then the text becomes a token.
    connect(m_completer, qOverload<const QString&>(&QCompleter::activated), this,
            &TagsTextField::commitText, Qt::QueuedConnection);

    setPlaceholderText(tr("Add tags"));
    relayout();
}

void TagsTextField::setTokens(const QStringList& tokens)
{
    if (tokens == m_tokens)
        return;
    m_tokens = tokens;
    m_selectedToken = -1;
    tokensChanged();
}

void TagsTextField::setTokenColour(TokenColour colour)
{
    m_tokenColour = std::move(colour);
    update();
}

void TagsTextField::setPlaceholderText(const QString& text)
{
    m_placeholderText = text;
    m_editor->setPlaceholderText(m_tokens.isEmpty() ? text : QString());
}

void TagsTextField::setFrame(bool frame)
{
    m_frame = frame;
    relayout();
    updateGeometry();
    update();
}

int TagsTextField::heightForWidth(int width) const
{
    return geometryFor(width).height;
}

QSize TagsTextField::sizeHint() const
{
    const int width = 200;
    return {width, heightForWidth(width)};
}

QSize TagsTextField::minimumSizeHint() const
{
    const QMargins m = margins();
    return {minEditorWidth + m.left() + m.right(), geometryFor(QWIDGETSIZE_MAX).height};
}

bool TagsTextField::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editor) {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (handleEditorKey(static_cast<QKeyEvent*>(event)->key()))
                return true;
            break;
        case QEvent::FocusIn:
            refreshCompletions();
            update();
            break;
        case QEvent::FocusOut:
            // The completion list taking the keyboard for a moment does not end editing.
            if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
                finishEditing();
            update();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TagsTextField::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        relayout();
        updateGeometry();
    }
}

void TagsTextField::mousePressEvent(QMouseEvent* event)
{
    const auto hit = std::find_if(m_tokenRects.cbegin(), m_tokenRects.cend(),
                                  [event](const QRect& r) { return r.contains(event->pos()); });
    selectToken(hit == m_tokenRects.cend() ? -1 : int(hit - m_tokenRects.cbegin()));
    m_editor->setFocus(Qt::MouseFocusReason);
    if (m_selectedToken < 0)
        m_editor->end(false);
}

void TagsTextField::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_frame) {
        QStyleOptionFrame frame;
        frame.initFrom(this);
        frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
        frame.midLineWidth = 0;
        frame.state |= QStyle::State_Sunken;
        if (m_editor->hasFocus())
            frame.state |= QStyle::State_HasFocus;
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &painter, this);
    }
    for (int i = 0; i < m_tokens.size() && i < m_tokenRects.size(); ++i) {
        const std::optional<int> colour =
            m_tokenColour ? m_tokenColour(m_tokens.at(i)) : std::nullopt;
        TagTokenPainter::paint(&painter, m_tokenRects.at(i), m_tokens.at(i), colour, font(),
                               i == m_selectedToken);
    }
}

void TagsTextField::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
}

TagsTextField::Geometry TagsTextField::geometryFor(int width) const
{
    const QMargins m = margins();
    const int left = m.left();
    const int right = std::max(left + minEditorWidth, width - m.right());
    const int editorHeight = m_editor->sizeHint().height();
    const int tokenHeight = TagTokenPainter::sizeFor(QString(), font()).height();
    const int rowHeight = std::max(editorHeight, tokenHeight);

    Geometry geometry;
    int x = left;
    int y = m.top();
    for (const QString& name : m_tokens) {
        const int tokenWidth =
            std::min(TagTokenPainter::sizeFor(name, font()).width(), right - left);
        if (x > left && x + tokenWidth > right) {
            x = left;
            y += rowHeight + spacing;
        }
        geometry.tokens.append(
            QRect(x, y + (rowHeight - tokenHeight) / 2, tokenWidth, tokenHeight));
        x += tokenWidth + spacing;
    }
    const int wanted = std::max(
        minEditorWidth, m_editor->fontMetrics().horizontalAdvance(m_editor->text()) + 2 * spacing);
    if (x > left && x + wanted > right) {
        x = left;
        y += rowHeight + spacing;
    }
    geometry.editor = QRect(x, y + (rowHeight - editorHeight) / 2, right - x, editorHeight);
    geometry.height = y + rowHeight + m.bottom();
    return geometry;
}

QMargins TagsTextField::margins() const
{
    if (!m_frame)
        return {0, 0, 0, 0};
    QStyleOptionFrame frame;
    frame.initFrom(this);
    const int inset = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this) + 2;
    return {inset + 1, inset, inset + 1, inset};
}

void TagsTextField::relayout()
{
    const Geometry geometry = geometryFor(width());
    m_tokenRects = geometry.tokens;
    m_editor->setGeometry(geometry.editor);
    if (geometry.height != height())
        updateGeometry();
    update();
}

void TagsTextField::tokensChanged()
{
    m_editor->setPlaceholderText(m_tokens.isEmpty() ? m_placeholderText : QString());
    m_editor->setAccessibleDescription(m_tokens.join(QStringLiteral(", ")));
    refreshCompletions();
    relayout();
    updateGeometry();
}

bool TagsTextField::handleEditorKey(int key)
{
    const bool atStart = m_editor->cursorPosition() == 0 && !m_editor->hasSelectedText();
    switch (key) {
    case Qt::Key_Backspace:
        if (m_selectedToken >= 0) {
            removeToken(m_selectedToken);
            return true;
        }
        if (atStart && !m_tokens.isEmpty()) {
            removeToken(int(m_tokens.size()) - 1);
            return true;
        }
        return false;
    case Qt::Key_Delete:
        if (m_selectedToken >= 0) {
            removeToken(m_selectedToken);
            return true;
        }
        return false;
    case Qt::Key_Left:
        if (m_selectedToken > 0 || (atStart && m_selectedToken < 0 && !m_tokens.isEmpty())) {
            selectToken(m_selectedToken > 0 ? m_selectedToken - 1 : int(m_tokens.size()) - 1);
            return true;
        }
        return m_selectedToken == 0;
    case Qt::Key_Right:
        if (m_selectedToken >= 0) {
            const int next = m_selectedToken + 1;
            selectToken(next < m_tokens.size() ? next : -1);
            return true;
        }
        return false;
    case Qt::Key_Escape:
        if (m_selectedToken >= 0 || !m_editor->text().isEmpty()) {
            selectToken(-1);
            m_editor->clear();
            return true;
        }
        return false;
    default:
        selectToken(-1);
        return false;
    }
}

void TagsTextField::textEdited(const QString& text)
{
    selectToken(-1);
    if (text.contains(u',')) {
        // Everything before the last comma becomes tokens; the rest stays to be typed on.
        const qsizetype lastComma = text.lastIndexOf(u',');
        m_editor->setText(text.mid(lastComma + 1));
        addTokens(text.left(lastComma));
    }
}

void TagsTextField::returnPressed()
{
    // With a completion highlighted, the completer makes it the token right after this.
    const QAbstractItemView* popup = m_completer->popup();
    if (popup->isVisible() && popup->currentIndex().isValid())
        return;
    if (m_editor->text().isEmpty())
        Q_EMIT editingFinished();
    else
        commitText();
}

void TagsTextField::commitText()
{
    const QString text = m_editor->text();
    m_editor->clear();
    addTokens(text);
}

void TagsTextField::addTokens(const QString& text)
{
    const QStringList names = text.split(u',', Qt::SkipEmptyParts);
    if (names.isEmpty())
        return;
    m_tokens.append(names);
    tokensChanged();
}

void TagsTextField::finishEditing()
{
    commitText();
    selectToken(-1);
    Q_EMIT editingFinished();
}

void TagsTextField::removeToken(int index)
{
    if (index < 0 || index >= m_tokens.size())
        return;
    m_tokens.removeAt(index);
    m_selectedToken = -1;
    tokensChanged();
}

void TagsTextField::selectToken(int index)
{
    if (index == m_selectedToken)
        return;
    m_selectedToken = index;
    update();
}

void TagsTextField::refreshCompletions()
{
    QStringList names = m_completionSource ? m_completionSource() : QStringList();
    names.removeIf([this](const QString& name) { return m_tokens.contains(name); });
    m_completionModel->setStringList(names);
}
