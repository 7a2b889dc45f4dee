#pragma once

#include <QtGlobal>

// The stream of saves that storewriter performs and tst_storecrash verifies. Save 0 builds a
// board of `initialCards` cards; save n > 0 writes n into the Root's title and into the title
// of every card it touches: on a big save (n a multiple of bigSaveInterval) every card, plus
// `cardsPerBigSave` new ones; otherwise `cardsPerSmallSave` distinct cards, one of which also
// moves to the top of the next column.
namespace CrashScenario {

constexpr int columns = 4;
constexpr int initialCards = 1600;
constexpr int bigSaveInterval = 5;
constexpr int cardsPerBigSave = 40;
constexpr int cardsPerSmallSave = 3;

inline bool isBigSave(qint64 sequence)
{
    return sequence % bigSaveInterval == 0;
}

inline qint64 cardCountAfter(qint64 sequence)
{
    return initialCards + cardsPerBigSave * (sequence / bigSaveInterval);
}

inline qint64 cardsTitledBy(qint64 sequence)
{
    return isBigSave(sequence) ? cardCountAfter(sequence) : cardsPerSmallSave;
}

// Position of the j-th touched card of a small save among `count` cards sorted by number.
inline qint64 touchedCard(qint64 sequence, int j, qint64 count)
{
    return (sequence * 7919 + j * (count / cardsPerSmallSave)) % count;
}

} // namespace CrashScenario
