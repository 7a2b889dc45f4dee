#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// What a thumbnail needs to know about a board: its shape, not its words.
struct LineSketch
{
    enum class Kind
    {
        Title,
        Header,
        Body,
        Checklist
    };
    Kind kind = Kind::Body;
    int length = 0; // in characters
    bool checked = false;
};

struct CardSketch
{
    QList<LineSketch> lines;
    QList<int> tagColours; // palette indexes, in the card's tag order
    bool done = false;
    bool priority = false;
    bool expanded = true;
};

struct ColumnSketch
{
    int titleLength = 0;
    QList<CardSketch> cards;
};

class BoardSketch final
{
public:
    // Reads the first board of an exchange document. Returns nothing and sets
    // errorMessage when the data is not such a document or holds no board.
    static std::optional<BoardSketch> fromDocument(const QByteArray& data, QString* errorMessage);

    int colour = 0;
    QList<ColumnSketch> columns;
};
