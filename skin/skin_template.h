#pragma once
// The shared 9 x 84 template from which every skinned button is cut.

// Creates the template image, selects it into a new memory DC
// (SkinTemplateDC) and paints all 756 pixels from the colour table.
void BuildSkinTemplate();

// Deletes the template DC and its image and marks the module uninitialised,
// so that the next SkinWindow builds a fresh one. Does nothing when there is
// no template.
void ReleaseSkinTemplate();

// Releases the template once no button is skinned and no host is hooked.
void ReleaseSkinTemplateIfUnused();
