#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Times the JSON parsers the project may use on one document: in this process, where the heap
// is already warm, and once each in a fresh process, as a one-shot import meets them.
class ParserComparison
{
public:
    struct Result
    {
        QString parser;
        double seconds = -1; // best of the runs; negative when it could not be measured
        bool accepted = false;
    };

    static QStringList parsers();
    static Result parseOnce(const QString& parser, const QByteArray& json);
    static QList<Result> inProcess(const QByteArray& json, int repetitions);
    // Runs `executable --parse-once <parser> <file>` for each parser.
    static QList<Result> freshProcesses(const QString& executable, const QString& file,
                                        int repetitions);
    // The parser the reader uses (simdjson, a new parser as each import makes): the baseline.
    static double simdjsonSeconds(const QByteArray& json, int repetitions, bool* accepted);
};
