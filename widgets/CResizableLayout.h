#pragma once
// The layout half of a resizable window: children registered with two anchor
// points keep their distances from them when the window changes size. The
// window that mixes this in supplies GetLayoutWindow and calls
// ArrangeChildren from its size handler.

#include <cstdint>
#include <initializer_list>

#include "dialogcore/CAnchorLayoutList.h"

class wxRect;
class wxWindow;

class CResizableLayout {
public:
    // One row of a dialog's anchor table: a control id and its two anchors.
    struct Anchors {
        int id;
        AnchorPoint topLeft;
        AnchorPoint bottomRight = AnchorNone;
    };

    virtual ~CResizableLayout() = default;

    // Registers a child at its current place; call it with the window at the
    // size its margins are measured from, before it is first resized.
    void AddAnchoredChild(wxWindow* child, AnchorPoint topLeft, AnchorPoint bottomRight = AnchorNone);
    // The child with that control id below the layout window; false when
    // there is none.
    bool AddAnchoredChild(int id, AnchorPoint topLeft, AnchorPoint bottomRight = AnchorNone);
    // A whole table at once; false when a control was missing (the others
    // are registered).
    bool AddAnchoredChildren(std::initializer_list<Anchors> table);
    // An entry OnArrangeCallback fills when the children are arranged.
    void AddLayoutCallback(uint32_t id);
    // Moves and sizes every child for the current layout area.
    void ArrangeChildren();
    void RemoveAllAnchoredChildren();

    const CAnchorLayoutList& GetLayoutList() const { return m_list; }

protected:
    // Whether the child must be repainted whole after it moved or changed
    // size (text that is centred, right-aligned or wrapped).
    virtual bool NeedsFullRedraw(wxWindow* child);
    // The rectangle the anchors refer to: the layout window's client area.
    virtual void GetLayoutArea(wxRect& area);
    // Fills a callback entry (window, anchors, margins); false: nothing to place.
    virtual bool OnArrangeCallback(AnchoredChild& entry);
    virtual wxWindow* GetLayoutWindow() = 0;

    // The child's rectangle in the layout window's client coordinates.
    LayoutRect ChildRect(wxWindow* child);

private:
    void MoveChild(const ChildMove& move);

    CAnchorLayoutList m_list;
};
