[VapourSynth Manifest V1]
liborv
