#pragma once

#include "ExchangeDocument.h"
#include "model/RichText.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

// Parses an exchange document (or one rich-text object) with simdjson, which validates UTF-8
// and bounds the nesting, and checks every rule of the format before anything is built.
class ExchangeValidator final
{
public:
    ExchangeValidator() = delete;

    static std::optional<ExchangeDocument>
    validateDocument(QByteArrayView json, const ExchangeDocument::Options& options, QString* error);
    static std::optional<RichText> validateRichText(QByteArrayView json, QString* error);
};
