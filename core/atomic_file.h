// Replacing a player's file so that a crash at any moment leaves the old or the new one whole.
#pragma once

#include <string>

// Writes bytes to a temporary file of this writer's own beside path (path + ".tmp." and six letters), syncs it,
// renames it over path and syncs the folder. Creates the folder. False with the reason when any step fails; the
// temporary file is then gone.
bool writeFileAtomically(const std::string& path, const std::string& bytes, std::string& reason);
// Removes temporary files a killed writer left beside path. Only safe while no other writer can be at work on it.
void removeStaleTemporaries(const std::string& path);
