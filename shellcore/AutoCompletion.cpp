#include "shellcore/AutoCompletion.h"

#include "base/Installed.h"

namespace {
Installed<AutoCompletionFactory> g_factory;
}

AutoCompletionFactory SetAutoCompletionFactory(AutoCompletionFactory factory)
{
    return g_factory.Set(std::move(factory));
}

AutoCompletionFactory GetAutoCompletionFactory()
{
    return g_factory.Get();
}
