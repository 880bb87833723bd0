// The element object of the automation interface: reads the element found at a byte position
// of the open design file, or of a file attached to it, visits the components of a complex
// element and writes a changed element of the open file back. It holds a copy of the element,
// as MicroStation's element descriptors do. Points of an element read through an attachment
// are given where the attachment shows them in the open file.
#pragma once

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "ImagedElement.h"
#include "Workspace.h"
#include "mstn/Automation.h"

namespace vtl::ustation {

class ElementCursor : public mstn::Element,
                      public ImagedElement,
                      public std::enable_shared_from_this<ElementCursor> {
public:
    // The status of a member that does not apply to the element (no text, no end points, no
    // further component).
    static constexpr int32_t kNotApplicable = 1;

    explicit ElementCursor(std::shared_ptr<Workspace> workspace);

    int32_t fromFile(int32_t position, int32_t fileIndex = 0) override;
    int32_t fileSize() override;
    int32_t filePos() override;
    int32_t Type() override;
    int32_t GetString(std::string& text) override;
    int32_t GetOrigin(mstn::Point& origin) override;
    int32_t getEndPoints(mstn::Point& start, mstn::Point& end) override;
    int32_t Level() override;
    int32_t Color() override;
    int32_t Weight() override;
    int32_t nextComponent() override;
    int32_t setString(const std::string& text) override;
    int32_t Rewrite() override;
    int32_t Publish(const std::string& name) override;

    // The stored bytes of the current component, as expressions read them.
    const dgn::Bytes& currentBytes() const;

    Images images(size_t ahead) override;
    void restore(const mstn::wire::ElementState& state) override;

private:
    const dgn::Element& current() const;
    dgn::Element& current();
    void requireElement() const;
    mstn::Point toMaster(const dgn::Point& point) const;
    // The origin of a text, text node or cell; the end points of a line or line string.
    std::optional<mstn::Point> originOf(const dgn::Element& element) const;
    std::optional<std::pair<mstn::Point, mstn::Point>> endsOf(const dgn::Element& element) const;
    mstn::wire::ElementImage imageOf(const std::vector<const dgn::Record*>& parts,
                                     uint32_t extent) const;
    // The file the element was read from, as it is now; nullptr when it is no longer open.
    const dgn::DesignFile* sourceFile();
    // The file of the index: the open one for 0, else the file attached in that slot; nullptr
    // when there is none.
    const dgn::DesignFile* fileOf(int32_t fileIndex);

    std::shared_ptr<Workspace> workspace_;
    std::filesystem::path file_;                   // the file the element was read from
    dgn::DesignHeader header_;                     // and the units of the open file
    std::optional<dgn::ReferenceBody> reference_;  // the attachment it was read through
    int32_t fileIndex_ = 0;                        // of the file it was read from
    int32_t position_ = -1;                        // -1 while no element is held
    int32_t extent_ = 0;
    std::vector<dgn::Record> parts_;  // the element, then its components
    size_t current_ = 0;
};

}  // namespace vtl::ustation
