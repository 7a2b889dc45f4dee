#include "ExchangeDocument.h"

#include "ExchangeValidator.h"

std::optional<ExchangeDocument> ExchangeDocument::parse(QByteArrayView json, QString* error,
                                                        const Options& options)
{
    return ExchangeValidator::validateDocument(json, options, error);
}

std::optional<RichText> ExchangeDocument::parseRichText(QByteArrayView json, QString* error)
{
    return ExchangeValidator::validateRichText(json, error);
}
