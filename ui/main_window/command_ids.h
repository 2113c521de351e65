#pragma once

// Command ids of the menus, accelerators and toolbar. A menu item's label is the string-table
// text with the same id.
namespace gestalon::ui::CommandId {

// File
inline constexpr int kNew = 40096, kOpen = 40098, kSave = 40102, kSaveAs = 40100,
                     kNewProject = 40211, kOpenProject = 40213, kRecentProjects = 40215,
                     kRecentMotions = 40057, kImportMotion = 40346, kExit = 40015;
// Edit
inline constexpr int kUndo = 40104, kRedo = 40106;
// Communication (the virtual controller only with a virtual board)
inline constexpr int kOnline = 40093, kServoOn = 40141, kVirtualController = 54180;
// Pose
inline constexpr int kCopyJointValues = 40126, kPasteJointValues = 40128, kCopyLeftToRight = 40130,
                     kCopyRightToLeft = 40132, kMirror = 40134, kCapturePose = 40034,
                     kRegisterBasePose = 40199, kRegisterOffset = 40364, kSliderProperties = 40189,
                     kInvertSliderDisplay = 40147, kBasePoseButton = 40094;
// Motion > Add block
inline constexpr int kAddPose = 40344, kAddCalc = 40327, kAddBranch = 40329, kAddGamepad = 40010,
                     kAddEnd = 40351, kAddSound = 40008, kAddSubRoutine = 40597,
                     kAddFileWrite = 40021, kAddFileRead = 40029, kAddWait = 40050,
                     kAddComment = 40046, kAddCancel = 40652, kAddInterpChange = 40654;
// Motion
inline constexpr int kCutBlocks = 40153, kCopyBlocks = 40149, kPasteBlocks = 40332,
                     kDeleteBlocks = 40151, kMirrorSelectedPoses = 40349, kBatchOffset = 40360,
                     kInterpWaitOff = 40646, kInterpWaitOn = 40644, kApplyOverride = 40161,
                     kSplitPose = 40108, kDuplicatePose = 40110, kDeletePose = 40112,
                     kBlockProperties = 40342;
// Play
inline constexpr int kPlay = 40116, kStop = 40118, kNextPose = 40120, kNextPoseBranch = 40122,
                     kPreviousPose = 40054, kPlayFromHere = 40060;
// Robot preview
inline constexpr int kPreviewWindow = 54300, kPlayInPreview = 54301, kPlayInPreviewFromHere = 54321;
// Project settings
inline constexpr int kServoCorrection = 40186, kMemoryMap = 40038, kDisplaySettings = 40124,
                     kCpuSettings = 40202, kWriteToBoard = 40042;
// Help
inline constexpr int kAbout = 40221, kFirmwareUpdate = 40223, kSwitchLanguage = 54340;
// Accelerators only
inline constexpr int kSelectAll = 40170, kCopyByPosition = 40338, kPasteByPosition = 40340,
                     kFirstPose = 40175, kSpaceServoOff = 40357, kToggleInterpWait = 40650,
                     kBackspace = 40114, kCtrlR = 40136;

// Dynamic ranges: recent robot project n, recent motion n (base pose n: BasePoseFromMenuId).
inline constexpr int kRecentProjectFirst = 40262, kRecentProjectLast = 40293;
inline constexpr int kRecentMotionFirst = 41000, kRecentMotionLast = 41020;

}  // namespace gestalon::ui::CommandId
