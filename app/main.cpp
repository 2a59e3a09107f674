// Placeholder until the main window exists: plays one computer game headless.
#include <cstdio>

#include "ai/computer_player.h"
#include "rules/piece_supply.h"

int main() { return 0; }
