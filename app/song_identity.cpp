#include "app/song_identity.h"

#include "host/game.h"
#include "song/song_file.h"

String SongIdentity::songFile() const { return songFilePath.empty() ? songFolder + songName : songFilePath; }

String SongIdentity::songFileFullPath() const
{
    BBGame* game = BBGame::game();
    return game ? game->resolvePath(songFile()) : songFile();
}
