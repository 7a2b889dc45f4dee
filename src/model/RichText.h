#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

#include <functional>
#include <optional>

// The notes of a card: plain text (UTF-16, so positions count UTF-16 code units) with runs of
// attributes. Only what the program means is kept: the note style name, the checklist state,
// strike-through and attachments. Fonts, colours and spacing follow from the style name.
class RichText
{
public:
    // The character every attachment stands on in the text.
    static constexpr QChar attachmentCharacter = QChar(0xFFFC);

    struct Attachment
    {
        // "NSLink" for a link, whose contents are a CBOR map of "URL", "title" and "body";
        // otherwise the MIME type of the file bytes in `contents`.
        QString fileType;
        QByteArray contents;
        bool isLink() const { return fileType == linkFileType(); }
        static QString linkFileType() { return QStringLiteral("NSLink"); }
        friend bool operator==(const Attachment&, const Attachment&) = default;
    };

    struct Attributes
    {
        std::optional<QString> styleName;     // "title", "header" or "body"
        std::optional<bool> checklistChecked; // present on checklist lines
        int strikethrough = 0;                // 0 none, 1 single line
        std::optional<Attachment> attachment;
        bool isEmpty() const { return *this == Attributes{}; }
        friend bool operator==(const Attributes&, const Attributes&) = default;
    };

    struct Run
    {
        qsizetype location = 0;
        qsizetype length = 0;
        Attributes attributes;
        friend bool operator==(const Run&, const Run&) = default;
    };

    RichText() = default;
    explicit RichText(const QString& text);
    RichText(const QString& text, const Attributes& attributes);
    // Builds the text from runs in text order, in linear time; stretches between them get no
    // attributes. Returns nothing when runs overlap, are out of order or leave the text.
    static std::optional<RichText> fromRuns(const QString& text, const QList<Run>& runs);

    const QString& text() const { return m_text; }
    qsizetype length() const { return m_text.size(); }
    bool isEmpty() const { return m_text.isEmpty(); }

    // Maximal runs in text order, covering the whole text without gap or overlap. An attachment
    // is a run of its one character, even beside an equal one.
    const QList<Run>& runs() const { return m_runs; }
    Attributes attributesAt(qsizetype position) const;

    // Both clamp the range to the text.
    void setAttributes(qsizetype location, qsizetype length, const Attributes& attributes);
    template <class Change>
    void changeAttributes(qsizetype location, qsizetype length, Change change);

    void replace(qsizetype location, qsizetype length, const RichText& replacement);
    void append(const RichText& other) { replace(m_text.size(), 0, other); }
    RichText mid(qsizetype location, qsizetype length = -1) const;

    // The compact form, with every attachment's bytes in it. decode() refuses anything it did
    // not write.
    QByteArray encode() const;
    // The form the store keeps: the bytes of file attachments are named by their digest
    // (AttachmentDigest) and handed out in `apart`, once for each digest, in text order.
    struct BytesApart
    {
        QByteArray digest;
        QByteArray bytes;
        friend bool operator==(const BytesApart&, const BytesApart&) = default;
    };
    QByteArray encodeApart(QList<BytesApart>* apart) const;
    // Reads either form. `lookup` gives the bytes of a digest; bytes it cannot give leave
    // their attachment with its type and no contents, shown as missing.
    using BytesLookup = std::function<std::optional<QByteArray>(const QByteArray& digest)>;
    static std::optional<RichText> decode(const QByteArray& encoded,
                                          const BytesLookup& lookup = {});

    friend bool operator==(const RichText&, const RichText&) = default;

private:
    // Splits runs so that `position` starts one; returns the index of that run.
    qsizetype splitAt(qsizetype position);
    void mergeRuns();
    void clampRange(qsizetype& location, qsizetype& length) const;

    QString m_text;
    QList<Run> m_runs;
};

template <class Change>
void RichText::changeAttributes(qsizetype location, qsizetype length, Change change)
{
    clampRange(location, length);
    if (length == 0)
        return;
    const qsizetype first = splitAt(location);
    const qsizetype end = splitAt(location + length);
    for (qsizetype i = first; i < end; ++i)
        change(m_runs[i].attributes);
    mergeRuns();
}

Q_DECLARE_METATYPE(RichText)
