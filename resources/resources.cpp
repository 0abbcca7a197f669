// The icons and stock images are compiled in through the .qrc files beside this one;
// this unit only gives the object library a body when no resource file exists yet.
