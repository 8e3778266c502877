// One command that a plug-in offers its host: texts to show, a key combination, a picture and
// the handler that the host calls to run it.
#pragma once

#include <string>

#include "classes/bitmap.h"
#include "classes/collection.h"
#include "classes/events.h"
#include "plugin_base/short_cut.h"

namespace tvx {

class TJvPluginCommand : public TCollectionItem {
  TVX_DECLARE_CLASS(TJvPluginCommand, TCollectionItem)

  // Create<TJvPluginCommand>(commands) inserts the new command into commands, which names it
  // when it has no name yet; it starts with ShortCut 0 and an empty bitmap of its own.
  explicit TJvPluginCommand(TCollection* collection);

  // The command's identifier within its plug-in.
  const std::string& Name() const { return name_; }
  void SetName(const std::string& value) { name_ = value; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value) { caption_ = value; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value) { hint_ = value; }
  // Further text for the host; the plug-in never reads it.
  const std::string& Data() const { return data_; }
  void SetData(const std::string& value) { data_ = value; }
  TShortCut ShortCut() const { return short_cut_; }
  void SetShortCut(TShortCut value) { short_cut_ = value; }
  // The command's own picture; writing copies the given one into it (null empties it).
  TBitmap* Bitmap() const { return bitmap_.get(); }
  void SetBitmap(const TBitmap* value) { bitmap_->Assign(value); }
  // Called by the host, with a Sender of its choice, to run the command.
  TNotifyEvent& OnExecute() { return on_execute_; }
  const TNotifyEvent& OnExecute() const { return on_execute_; }

  // Name, or the class name when the command has none.
  std::string GetDisplayName() const override;
  // Copies every published value of another command, the handler binding and the picture
  // included.
  void Assign(const TPersistent* source) override;

 protected:
  ~TJvPluginCommand() override;

 private:
  std::string name_;
  std::string caption_;
  std::string hint_;
  std::string data_;
  TShortCut short_cut_ = 0;
  TOwned<TBitmap> bitmap_;
  TNotifyEvent on_execute_;
};

}  // namespace tvx
