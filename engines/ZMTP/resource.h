// Resource and control ids of the preview player.
#pragma once

#define IDR_PLAYER 1

// Commands of the player's keys.
#define ID_PLAYER_PAUSE 40001
#define ID_PLAYER_CLOSE 40002

// The static that tells the user why nothing plays, and the mark over the
// last frame of a video that played through.
#define IDC_PLAYER_MESSAGE 1001
#define IDC_PLAYER_END 1002
