# vantrel-grade's defaults, written here and nowhere else: vantrel-grade and
# inside.sh source this file, vantrel-grade --help shows these values, and the
# build turns it into grading_defaults.h for the helper. One NAME=VALUE a line.
VANTREL_GRADE_FRAMES=60
VANTREL_GRADE_TOLERANCE=500
VANTREL_GRADE_FUZZ=10
VANTREL_GRADE_TIME=30
VANTREL_GRADE_CPU=20
VANTREL_GRADE_MEMORY=512
VANTREL_GRADE_PROCESSES=64
VANTREL_GRADE_OPEN_FILES=256
VANTREL_GRADE_OUTPUT_MB=8
VANTREL_GRADE_BUILD_TIME=120
