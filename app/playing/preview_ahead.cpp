// A note is heard as soon as its key is read, not up to a step later: when
// the loop wakes for a key or a MIDI note between two update steps, the
// note's preview starts at once, with the gain and rates its step will give
// it. The step then does all it would have done; it only finds the sound
// already playing and does not start it a second time.
#include "app/playing/note_preview.h"

#include "audio/audio_device.h"
#include "audio/sound.h"
#include "player/voice_trigger.h"

namespace {
constexpr int highestNoteValue = 28;
} // namespace

// Gain and rates go first, so the note never sounds with the last one's.
void NotePreview::startAheadPreview(char32_t note, int noteOctave)
{
    int value = noteValueOf(note);
    if (value > highestNoteValue) return;  // a mark or a note-off: nothing to start
    selectPreviewSounds();  // as the step will, before its notes
    VoiceEffects voice = preview;
    restartEffects(voice);
    PreviewSound sound = stepPreview(voice, note, noteOctave - cursor.octave);
    if (sound.fadedOut) return;  // its step would silence it at once
    int channel = cursor.channel();
    int secondary = channel + secondaryChannelOffset;
    setChannelGain(channel, sound.gain);
    setChannelGain(secondary, sound.gain);
    setChannelPitch(channel, sound.rates.primary);
    setChannelPitch(secondary, sound.rates.secondary);
    triggerVoice(gxtkAudio::audio(), channel, noteOctave, value, true, previewPrimary, previewSecondary);
    aheadPreview = AheadPreview {channel, noteOctave, value, previewPrimary, previewSecondary};
}

bool NotePreview::takeAheadPreview(int channel, int noteOctave, int noteValue)
{
    if (!aheadPreview) return false;
    // The step picks the instrument's sounds afresh: they may have come since.
    bool same = aheadPreview->channel == channel && aheadPreview->octave == noteOctave &&
                aheadPreview->noteValue == noteValue && aheadPreview->primary == previewPrimary &&
                aheadPreview->secondary == previewSecondary;
    if (!same) dropAheadPreview();
    aheadPreview.reset();
    return same;
}

// A sound started ahead that its step did not take is silenced: the step
// leaves the channels as they would be without it.
void NotePreview::dropAheadPreview()
{
    if (!aheadPreview) return;
    haltChannel(aheadPreview->channel);
    haltChannel(aheadPreview->channel + secondaryChannelOffset);
    aheadPreview.reset();
}
