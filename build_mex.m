function build_mex(outdir)
%BUILD_MEX  Compile every function of the toolkit with this host's MEX compiler.
%   BUILD_MEX compiles the toolkit's MEX functions into the folder 'mex'
%   beside this file, next to copies of their help files. Add that folder to
%   the path to use them:
%
%      build_mex
%      addpath(fullfile(pwd, 'mex'))
%
%   BUILD_MEX(OUTDIR) puts the functions and help files in OUTDIR instead.
%
%   Works in MATLAB (with a C++ compiler set up by 'mex -setup C++') and in
%   GNU Octave (with mkoctfile, Debian package liboctave-dev). Floating point
%   is compiled with -ffp-contract=off, so results are the same bit for bit
%   as in the C++ build.

root = fileparts(mfilename('fullpath'));
if nargin < 1
  outdir = fullfile(root, 'mex');
end
if ~exist(outdir, 'dir')
  mkdir(outdir);
end

% One row per function: name, folder, sources in that folder, extra compiler
% and linker flags, extra libraries.
modules = {
  'gauss3_eval', 'gaussian', {'gauss3_eval.cpp', 'gauss3.cpp', 'simd_level.cpp'}, {}, {}
  'tiff_stack_dims', 'tiffstack', {'tiff_stack_dims.cpp', 'stack_geometry.cpp'}, {}, {'-ltiff'}
  'gauss3_eval_approx', 'gaussian', {'gauss3_eval_approx.cpp', 'gauss3_approx.cpp', 'simd_level.cpp'}, {}, {}
  'accum_derivs3', 'gaussian', {'accum_derivs3.cpp', 'derivs3.cpp'}, {}, {}
  'normality_check', 'normality', {'normality_check.cpp', 'adtest.cpp'}, {}, {}
  'pair_blocks3', 'gaussian', {'pair_blocks3.cpp', 'pair_blocks3_fill.cpp', 'simd_level.cpp'}, {}, {}
  'thin_volume', 'thinning', {'thin_volume.cpp', 'templates.cpp', 'orientation.cpp', 'thin.cpp'}, {}, {}
  'pairwise_offsets', 'offsets', {'pairwise_offsets.cpp', 'offsets.cpp'}, {}, {}
  'fill_nan', 'nanfill', {'fill_nan.cpp', 'nanfill.cpp'}, {'-fopenmp'}, {}
};

for k = 1:size(modules, 1)
  build_one(root, outdir, modules{k, :});
end
copyfile(fullfile(root, 'Contents.m'), outdir);
end

function build_one(root, outdir, name, folder, sources, flags, libraries)
srcdir = fullfile(root, folder);
paths = cellfun(@(s) fullfile(srcdir, s), sources, 'UniformOutput', false);
includes = {['-I' fullfile(root, 'host')], ['-I' srcdir]};
cxxflags = strtrim(['-std=c++17 -O2 -ffp-contract=off ' strjoin(flags, ' ')]);
ldflags = strjoin(flags, ' ');
fprintf('build_mex: %s\n', name);
if exist('OCTAVE_VERSION', 'builtin')
  % mkoctfile takes its flags from the environment; restore it afterwards.
  saved = {getenv('CXXFLAGS'), getenv('LDFLAGS')};
  restore = onCleanup(@() restore_flags(saved));
  setenv('CXXFLAGS', cxxflags);
  setenv('LDFLAGS', ldflags);
  [output, status] = mkoctfile('--mex', '-o', fullfile(outdir, [name '.mex']), ...
                               includes{:}, paths{:}, libraries{:});
  if status ~= 0
    error('build_mex:compileFailed', 'Compiling %s failed:\n%s', name, output);
  end
else
  mex('-outdir', outdir, '-output', name, includes{:}, ...
      ['CXXFLAGS=$CXXFLAGS ' cxxflags], ['LDFLAGS=$LDFLAGS ' ldflags], ...
      paths{:}, libraries{:});
end
copyfile(fullfile(srcdir, [name '.m']), outdir);
end

function restore_flags(saved)
setenv('CXXFLAGS', saved{1});
setenv('LDFLAGS', saved{2});
end
