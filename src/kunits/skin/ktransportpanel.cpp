#include "skin/ktransportpanel.h"

#include "skin/kskinelements.h"

namespace kolvarin {

void TKTransportPanel::ShowStatus(const std::u16string& text)
{
    label_.Text = text;
    if (skin_.Loaded)
        SkinScrollLabelPaint(skin_, imgScrolllabel_, imgScrollabelBackground_, labelBackground_, label_);
}

void TKTransportPanel::RestartScroll() { SkinScrollLabelSetText(skin_, label_); }

void TKTransportPanel::ScrollStep()
{
    if (skin_.Loaded && SkinScrollLabelMoves(label_))
        SkinScrollLabelPaint(skin_, imgScrolllabel_, imgScrollabelBackground_, labelBackground_, label_);
}

void TKTransportPanel::SetProgressRange(int tag, bool enabled, int64_t max)
{
    progressBar_.Min = progressSeekBar_.Min = 0;
    progressBar_.Max = progressSeekBar_.Max = max;
    progressBar_.Enabled = progressSeekBar_.Enabled = enabled;
    imgProgressBar_.Tag = tag;
    imgProgressSeekbarBar_.Tag = tag;
}

void TKTransportPanel::ShowProgress(bool enabled, int64_t position)
{
    progressBar_.Value = progressSeekBar_.Value = position;
    progressBar_.Enabled = progressSeekBar_.Enabled = enabled;
    PaintProgress();
}

void TKTransportPanel::ShowVolume(const TKPanelValue& volume)
{
    volume_.Min = volumeSeekBar_.Min = volume.Min;
    volume_.Max = volumeSeekBar_.Max = volume.Max;
    volume_.Value = volumeSeekBar_.Value = volume.Value;
    PaintVolume();
}

void TKTransportPanel::SetVolumeEnabled(bool enabled) { volume_.Enabled = volumeSeekBar_.Enabled = enabled; }

TKPanelValue TKTransportPanel::Volume() const
{
    if (volumeSeekBar_.Visible)
        return {volumeSeekBar_.Min, volumeSeekBar_.Max, volumeSeekBar_.Value};
    return {volume_.Min, volume_.Max, volume_.Value};
}

double TKTransportPanel::VolumePercent() const
{
    return volumeSeekBar_.Visible ? SkinSeekBarPercent(volumeSeekBar_) : SkinBarPercent(volume_);
}

void TKTransportPanel::ShowMute(bool on)
{
    mute_.State = on ? 3 : 1;
    imgMuteCheckbox_.Tag = on ? 1 : 0;
    SkinSetCheckboxState(skin_, imgMuteCheckbox_, mute_);
}

void TKTransportPanel::ShowTime(const std::array<int, 6>& digits, bool negative)
{
    if (skin_.Loaded)
        SkinPaintTime(skin_, imgTime_, time_, digits, negative);
}

void TKTransportPanel::PaintBars()
{
    PaintProgress();
    PaintVolume();
}

void TKTransportPanel::BeginDrag(const std::u16string& status)
{
    dragging_ = true;
    savedStatus_ = status;
}

std::u16string TKTransportPanel::EndDrag()
{
    dragging_ = false;
    return savedStatus_;
}

void TKTransportPanel::PaintProgress()
{
    if (!skin_.Loaded)
        return;
    SkinPaintBar(skin_, imgProgressBar_, progressBar_);
    SkinPlaceSeekBarThumb(skin_, imgProgressSeekbarBackground_, imgProgressSeekbarBar_, progressSeekBar_);
}

void TKTransportPanel::PaintVolume()
{
    if (!skin_.Loaded)
        return;
    SkinPaintBar(skin_, imgVolume_, volume_);
    SkinPlaceSeekBarThumb(skin_, imgVolumeSeekbarBackground_, imgVolumeSeekbarBar_, volumeSeekBar_);
}

} // namespace kolvarin
