#include "player/DesktopProgram.h"
#include "player/DesktopUi.h"

int main(int argc, char** argv)
{
    return player::RunDesktopProgram(argc, argv, {player::MakeDesktopUi, player::ShowStartupError});
}
