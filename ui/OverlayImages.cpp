#include "ui/OverlayImages.h"

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/imaglist.h>

namespace ui {

void OverlayImages::SetOverlayImage(int overlay, int imageIndex)
{
    m_overlays[overlay] = imageIndex;
    m_composed.clear();
}

int OverlayImages::Compose(wxImageList* list, int image, int overlay)
{
    if (overlay == 0 || !list || image < 0 || image >= list->GetImageCount()) return image;
    auto o = m_overlays.find(overlay);
    if (o == m_overlays.end() || o->second < 0 || o->second >= list->GetImageCount()) return image;
    if (list != m_list) {
        m_composed.clear();
        m_list = list;
    }
    auto key = std::make_pair(image, overlay);
    auto it = m_composed.find(key);
    if (it != m_composed.end()) return it->second;

    wxImage base = list->GetBitmap(image).ConvertToImage();
    wxImage mark = list->GetBitmap(o->second).ConvertToImage();
    if (!base.HasAlpha()) base.InitAlpha();
    base.Paste(mark, 0, 0, wxIMAGE_ALPHA_BLEND_COMPOSE);
    int index = list->Add(wxBitmap(base));
    m_composed[key] = index;
    return index;
}

} // namespace ui
