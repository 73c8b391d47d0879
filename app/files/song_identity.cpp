#include "app/files/song_identity.h"

#include "base/data_paths.h"
#include "song/song_file.h"

String SongIdentity::songFile() const { return songFilePath.empty() ? songFolder + songName : songFilePath; }

String SongIdentity::songFileFullPath() const
{
    return resolveDataPath(songFile());
}
