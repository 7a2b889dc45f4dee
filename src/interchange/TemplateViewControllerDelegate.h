#pragma once

#include <QUrl>

#include <optional>

// Told which template the user chose in a TemplateViewController (the sidebar is the one).
// The URL names the template document: "qrc:/Templates/<Category>/<name>.Pinwheels" for the
// shipped templates, a "file:" URL for templates read from a folder on disk. Open it with
// QFile(TemplateViewController::filePathForUrl(url)). None when the chosen item has no
// document, which asks for an empty board like the template "blank".
class TemplateViewControllerDelegate
{
public:
    virtual ~TemplateViewControllerDelegate() = default;
    virtual void selectedTemplateWithUrl(const std::optional<QUrl>& url) = 0;
};
