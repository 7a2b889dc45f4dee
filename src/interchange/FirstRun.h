#pragma once

#include <functional>

class ObjectContext;
class Root;

// The top of a store's tree. A store without one is new: it gets its root, and the tutorial
// under it, the first time the application or the command-line tool opens it.
class FirstRun final
{
public:
    struct Result
    {
        Root* root = nullptr;
        bool created = false; // this call made the root and imported the tutorial
    };

    // `save` is called after the root is made and again after the tutorial is in.
    static Result findOrCreateRoot(ObjectContext& context, const std::function<bool()>& save);
    // Fills the root from the shipped tutorial document; false (and a console line) when it
    // cannot be read.
    static bool importTutorial(ObjectContext& context, Root* root);
};
