# Copies the asset folders beside the program. A file already there with the same time stamp is left alone:
# tests copy these folders while another test builds the program again, and must never meet a file half
# written or removed for its replacement.
# cmake -DSOURCE=<assets> -DDEST=<build dir> -P CopyAssets.cmake
foreach(folder PICTURE SOUND MUSIC)
  file(COPY ${SOURCE}/${folder} DESTINATION ${DEST})
endforeach()
file(MAKE_DIRECTORY ${DEST}/MY_PICTURE)
