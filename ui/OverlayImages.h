#pragma once
// Overlay images for controls that have none of their own: an item's image
// with an overlay (a small mark drawn over it) becomes one more image in the
// control's image list, made once per pair.

#include <map>
#include <utility>

class wxImageList;

namespace ui {

class OverlayImages {
public:
    // Overlay 1-15 draws the image at imageIndex of the list over the item's.
    void SetOverlayImage(int overlay, int imageIndex);
    // The index to show for image with overlay: the image itself when there
    // is no overlay, no list or no image for that overlay.
    int Compose(wxImageList* list, int image, int overlay);
    // The list changed or went: composed images are forgotten.
    void Forget() { m_composed.clear(); }

private:
    std::map<int, int> m_overlays;
    std::map<std::pair<int, int>, int> m_composed;
    wxImageList* m_list = nullptr;
};

} // namespace ui
