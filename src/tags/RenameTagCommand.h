#pragma once

#include <QString>
#include <QUndoCommand>

#include <optional>

class Tag;

// "Rename Tag": renames a board's tag, saves and tells the cards carrying it to repaint.
class RenameTagCommand final : public QUndoCommand
{
public:
    RenameTagCommand(Tag* tag, const QString& newName);

    void redo() override;
    void undo() override;

    static QString actionName();
    // Why the tag cannot take the name (trimmed first): empty, holding a comma (the tag field
    // would split it) or already another tag's on the same board. Nothing when it can.
    static std::optional<QString> refusal(const Tag* tag, const QString& name);

private:
    bool apply(const QString& name);

    Tag* m_tag; // the store keeps deleted objects; a deleted tag is left alone
    QString m_oldName;
    QString m_newName;
};
