#include "player/Autorun.h"

Autorun Autorun::ForCurrentUser()
{
    return Autorun(win::AutostartEntry(win::AutostartEntry::DefaultFile("orvanta")), win::CurrentExecutablePath());
}

std::string Autorun::CommandFor(std::string_view executablePath)
{
    return win::QuoteExecArgument(executablePath) + " -d";
}

bool Autorun::SetAutorun() const
{
    if (executablePath_.empty())
        return false;
    return entry_.Write(kAutorunName, CommandFor(executablePath_));
}

bool Autorun::IsAutorunSet() const
{
    if (executablePath_.empty())
        return false;
    const auto command = entry_.ReadCommand();
    return command && *command == CommandFor(executablePath_);
}

bool Autorun::RemoveAutorun() const
{
    return entry_.Remove();
}
