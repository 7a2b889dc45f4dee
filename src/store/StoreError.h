#pragma once

#include <QString>

// The error shown when the application's data cannot be opened.
struct StoreError
{
    static constexpr auto domain = "YOUR_ERROR_DOMAIN";
    static constexpr int code = 9999;
    static constexpr auto description = "Failed to initialize the application's saved data";
    static constexpr auto defaultReason =
        "There was an error creating or loading the application's saved data.";

    QString reason = QString::fromLatin1(defaultReason);
    QString underlying; // the store's own message, when there is one
};
