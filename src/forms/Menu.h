#pragma once
// Menus: a tree of items with a caption ("-" for a separator), shown as a
// pop-up menu by a form.
#include <functional>
#include <string>
#include <vector>

#include "forms/Object.h"
#include "forms/Values.h"

namespace forms {

class Menu : public Object {
public:
    // A top-level menu (parent null) or an item of its parent.
    explicit Menu(Menu* parent = nullptr, std::wstring caption = {}, std::wstring name = {});
    ~Menu() override;
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    std::wstring TypeName() const override { return L"Menu"; }

    std::wstring Name;
    std::wstring Caption;
    Boolean Visible = True;
    Boolean Enabled = True;
    Boolean Checked = False;
    std::function<void()> Click;

    Menu* Parent() const { return parent_; }
    const std::vector<Menu*>& Items() const { return items_; }

    Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const Variant& value) override;

private:
    Menu* parent_;
    std::vector<Menu*> items_;
};

}  // namespace forms
