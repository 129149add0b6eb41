// Start-up, the frame loop and shutdown of the game, in their fixed order.
#pragma once

// Runs every start-up step; returns 0, or the exit status when a step failed (its message is printed).
int initialise();
// The frame update: clock, event polling, the controller, full screen, then the rules on the frame's input
// (advanceFrame), and the cursor released or captured when the pause changed.
void updateFrame();
// Plays what the frame's rules and HUD step asked for, heard from the camera, then clears the frame's moments.
void playFrameSounds();
// Frames until the window should close. A new framebuffer size remakes the targets and the projection before the
// frame draws; a minimised window draws nothing.
void runFrameLoop();
// Releases the physics world, the terrain and every GL object, then the window, then sound, in that order.
void releaseGame();
// Releases everything, prints the session report and waits for one line of input.
void shutdown();
