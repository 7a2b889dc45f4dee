#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class QCompleter;
class QLineEdit;
class QStringListModel;

// A token field for a card's tags: the tags as coloured pills, then an inline editor. A comma
// or Return turns the typed text into a token (empty names are skipped); Backspace at the start
// removes the token before it; Left and Right select tokens for Delete. Leaving the field (Tab,
// a click elsewhere) or Return on empty text ends editing: the owner then reads tokens().
class TagsTextField final : public QWidget
{
    Q_OBJECT

public:
    // The names to offer while typing, in the order to offer them.
    using CompletionSource = std::function<QStringList()>;
    // The palette index of a name's tag, or none for the grey token.
    using TokenColour = std::function<std::optional<int>(const QString& name)>;

    explicit TagsTextField(QWidget* parent = nullptr);

    QStringList tokens() const { return m_tokens; }
    void setTokens(const QStringList& tokens);
    void setCompletionSource(CompletionSource source) { m_completionSource = std::move(source); }
    void setTokenColour(TokenColour colour);
    void setPlaceholderText(const QString& text);
    // Whether a line-edit frame and background are drawn (off inside a card).
    void setFrame(bool frame);

    QLineEdit* lineEdit() const { return m_editor; }
    QCompleter* completer() const { return m_completer; }
    int selectedToken() const { return m_selectedToken; }
    QRect tokenRect(int index) const { return m_tokenRects.value(index); }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void editingFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Geometry
    {
        QList<QRect> tokens;
        QRect editor;
        int height = 0;
    };
    Geometry geometryFor(int width) const;
    QMargins margins() const;
    void relayout();
    void tokensChanged();

    bool handleEditorKey(int key);
    void textEdited(const QString& text);
    void returnPressed();
    void commitText();
    void addTokens(const QString& commaSeparated); // empty names skipped
    void finishEditing();
    void removeToken(int index);
    void selectToken(int index);
    void refreshCompletions();

    QLineEdit* m_editor = nullptr;
    QStringListModel* m_completionModel = nullptr;
    QCompleter* m_completer = nullptr;
    QStringList m_tokens;
    QList<QRect> m_tokenRects;
    CompletionSource m_completionSource;
    TokenColour m_tokenColour;
    QString m_placeholderText;
    int m_selectedToken = -1;
    bool m_frame = true;
};
