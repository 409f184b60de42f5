#pragma once
// The size grip of a resizable window: a small triangle in the bottom-right
// corner of the client area that resizes the window when dragged; disabled
// while the window is maximized.

class wxWindow;

class CResizableGrip {
public:
    CResizableGrip();
    virtual ~CResizableGrip() = default;

    // Makes the grip a child of the layout window and places it; false when
    // it cannot be made.
    bool CreateGrip();
    // Moves the grip to the corner and enables it unless the window is maximized.
    void PlaceGrip();
    void ShowSizeGrip(bool show);

    wxWindow* GetGripWindow() const { return m_grip; }
    int GetGripWidth() const { return m_width; }
    int GetGripHeight() const { return m_height; }

protected:
    virtual wxWindow* GetLayoutWindow() = 0;

private:
    int m_width;
    int m_height;
    wxWindow* m_grip = nullptr;  // owned by the layout window
};
