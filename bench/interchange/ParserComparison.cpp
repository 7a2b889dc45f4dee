#include "ParserComparison.h"

#include "interchange/ExchangeDocument.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QProcess>

#include <algorithm>
#include <functional>
#include <limits>
#include <simdjson.h>

#ifdef PINWHEELS_HAVE_RAPIDJSON
#include <rapidjson/document.h>
#endif

namespace {

const QString qtName = QStringLiteral("QJsonDocument (Qt 6.4)");
const QString rapidName = QStringLiteral("RapidJSON 1.1 (iterative, validating UTF-8)");
const QString simdName = QStringLiteral("simdjson 3.0 (DOM, depth limit)");

bool parseWith(const QString& name, const QByteArray& json)
{
    if (name == qtName)
        return !QJsonDocument::fromJson(json).isNull();
#ifdef PINWHEELS_HAVE_RAPIDJSON
    if (name == rapidName) {
        // The iterative parser cannot overflow the stack; it has no depth limit of its own.
        rapidjson::Document document;
        constexpr unsigned flags =
            rapidjson::kParseValidateEncodingFlag | rapidjson::kParseIterativeFlag;
        document.Parse<flags>(json.constData(), size_t(json.size()));
        return !document.HasParseError();
    }
#endif
    simdjson::dom::parser parser;
    simdjson::dom::element root;
    return !parser.allocate(size_t(json.size()), ExchangeDocument::maximumDepth) &&
           !parser.parse(json.constData(), size_t(json.size())).get(root);
}

double best(int repetitions, const std::function<bool()>& parse, bool* accepted)
{
    double fastest = std::numeric_limits<double>::max();
    for (int i = 0; i < repetitions; ++i) {
        QElapsedTimer timer;
        timer.start();
        *accepted = parse();
        fastest = std::min(fastest, double(timer.nsecsElapsed()) / 1e9);
    }
    return fastest;
}

} // namespace

QStringList ParserComparison::parsers()
{
#ifdef PINWHEELS_HAVE_RAPIDJSON
    return {qtName, rapidName, simdName};
#else
    return {qtName, simdName};
#endif
}

ParserComparison::Result ParserComparison::parseOnce(const QString& parser, const QByteArray& json)
{
    Result result{parser};
    result.seconds = best(
        1, [&] { return parseWith(parser, json); }, &result.accepted);
    return result;
}

double ParserComparison::simdjsonSeconds(const QByteArray& json, int repetitions, bool* accepted)
{
    return best(
        repetitions, [&json] { return parseWith(simdName, json); }, accepted);
}

QList<ParserComparison::Result> ParserComparison::inProcess(const QByteArray& json, int repetitions)
{
    QList<Result> results;
    for (const QString& parser : parsers()) {
        Result result{parser};
        result.seconds = best(
            repetitions, [&] { return parseWith(parser, json); }, &result.accepted);
        results.append(result);
    }
    // A parser kept from one document to the next no longer pays for first touching its memory.
    Result reused{simdName + QStringLiteral(", parser reused")};
    simdjson::dom::parser parser;
    simdjson::dom::element root;
    reused.seconds = best(
        repetitions, [&] { return !parser.parse(json.constData(), size_t(json.size())).get(root); },
        &reused.accepted);
    results.append(reused);
    return results;
}

QList<ParserComparison::Result>
ParserComparison::freshProcesses(const QString& executable, const QString& file, int repetitions)
{
    QList<Result> results;
    for (const QString& parser : parsers()) {
        Result result{parser};
        for (int i = 0; i < repetitions; ++i) {
            QProcess process;
            process.start(executable, {QStringLiteral("--parse-once"), parser, file});
            if (!process.waitForFinished(120000) || process.exitCode() != 0)
                break;
            const QList<QByteArray> fields = process.readAllStandardOutput().trimmed().split(' ');
            if (fields.size() != 2)
                break;
            const double seconds = fields[0].toDouble();
            result.seconds = result.seconds < 0 ? seconds : std::min(result.seconds, seconds);
            result.accepted = fields[1] == "1";
        }
        results.append(result);
    }
    return results;
}
